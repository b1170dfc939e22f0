// What screen readers are told of the game, in every front end.
#pragma once

#include "chip_board.h"
#include "game_events.h"

#include <array>
#include <string>
#include <string_view>

namespace virurad {

// Names of the controls whose picture or caption alone does not say what they are for.
inline constexpr std::string_view BoardName = "Board";
inline constexpr std::string_view SizeScrollName = "Board size";
inline constexpr std::string_view SizeLabelDescription = "Board size";
inline constexpr std::string_view CountLabelDescription = "Chips placed";

// The whole board in one sentence: "25x25 board, 1 chip, 2 marked cells".
std::string boardDescription(const ChipBoard &board);

// A cell as a screen reader names it: where it stands and what it holds, counted from 1 as
// people count, column first: "column 1, row 1, empty", "column 3, row 5, chip", "column 25,
// row 25, marked". Cell k is column cellColumn(k) + 1, row cellRow(k) + 1. Empty for an index
// outside 0..624 or a cell off the board, which no screen reader is shown.
std::string cellName(const ChipBoard &board, int k);

// What a screen reader says after a play on cell k: the cell as it now is, and the count,
// "column 3, row 4, chip, 1 chip on the board".
std::string playAnnouncement(const ChipBoard &board, int k);
// What it says when a new game starts: "New game, 24x24".
std::string newGameAnnouncement(const ChipBoard &board);

// What a screen reader's user can do on a cell: the same as releasing that mouse button on it.
struct CellAction {
    std::string_view name;
    MouseButton button;
};
inline constexpr std::array<CellAction, 2> CellActions{{
    {"Place or remove chip", MouseButton::Left},
    {"Mark or unmark", MouseButton::Right},
}};

} // namespace virurad
