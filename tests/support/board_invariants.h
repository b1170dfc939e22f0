// The rules every state of a game must keep, checked from the outside through the queries.
#pragma once

#include "chip_board.h"

#include <string>

namespace support {

using namespace virurad;

// The first rule the board breaks, in words, or an empty string when it keeps them all: the
// count equals the chips standing, no yellow cell holds a chip, and cells off the board hold
// neither chip nor mark.
std::string brokenInvariant(const ChipBoard &board);

} // namespace support
