// The rule of the game: no three chips evenly spaced on one straight line.
#pragma once

#include "chip_board.h"

#include <string>

namespace virurad {

struct CheckResult {
    enum class Icon { Error, Information };

    bool lineFound = false;
    std::string title;
    std::string text;
    Icon icon = Icon::Information;
};

// Whether three chips stand at P, P + d and P + 2d for some non-zero step d anywhere in the
// 25 x 25 index space. Reads the board only; always does the same amount of work.
bool HasLineOfThree(const ChipBoard &board);

// The verdict of "Check Me!" as the message box shows it.
CheckResult RunCheck(const ChipBoard &board);

} // namespace virurad
