// What each player action does to the game, and what a window must show anew afterwards.
#pragma once

#include "chip_board.h"

// Mouse buttons as the game numbers them when one is released over a cell.
enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// The parts of the window an event changed. A window repaints these and nothing else.
struct Refresh {
    static constexpr int NoCell = -1;

    int cell = NoCell;         // the one cell to repaint, or NoCell
    bool wholeBoard = false;   // every cell: a new game started
    bool sizeCaption = false;  // the text of SizeOf
    bool countCaption = false; // the text of Number

    friend bool operator==(const Refresh &, const Refresh &) = default;
};

// What a window shows anew when it opens or a new game starts: every cell and both captions.
inline constexpr Refresh WholeWindow{Refresh::NoCell, true, true, true};

// A mouse button released over cell k: 1 toggles a chip, 2 a mark, any other button nothing.
// A cell off the board, or an index outside 0..624, changes nothing.
Refresh releaseButton(ChipBoard &board, int k, int button);

// The size scroll bar now shows `value`: a new game at that size, or nothing outside 3..25.
Refresh changeSize(ChipBoard &board, int value);
