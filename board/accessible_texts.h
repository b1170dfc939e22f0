// What screen readers are told of the game, in every front end.
#pragma once

#include "chip_board.h"

#include <string>
#include <string_view>

// Names of the controls whose picture or caption alone does not say what they are for.
inline constexpr std::string_view BoardName = "Board";
inline constexpr std::string_view SizeScrollName = "Board size";
inline constexpr std::string_view SizeLabelDescription = "Board size";
inline constexpr std::string_view CountLabelDescription = "Chips placed";

// The whole board in one sentence: "25x25 board, 1 chip, 2 marked cells".
std::string boardDescription(const ChipBoard &board);
