// What screen readers are told of the game, in every front end.
#pragma once

#include "chip_board.h"
#include "game.h"
#include "game_events.h"

#include <array>
#include <string>
#include <string_view>

namespace virurad {

// What screen readers are told each part of the window is; every toolkit has a role for each.
enum class Role { Table, TableCell, ScrollBar, Label, Button };

// The board is a table and each cell on it a cell of that table, read by row and column, with
// or without a screen reader: what it is does not change with who reads it.
inline constexpr Role CellRole = Role::TableCell;

// A control as a screen reader reads it: what it is, its name, the sentence that says what it is
// for, and its value. A caption's name is its text, read out anew as it changes.
struct AccessibleText {
    Role role = Role::Label;
    std::string name;
    std::string description;
    std::string value;
};
AccessibleText accessibleText(const ChipBoard &board, Control control);
Role roleOf(Control control);

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
