// Where the window's parts stand: the board at the top left, the column of controls at its right.
#pragma once

#include "chip_board.h"

// The window's fixed client area: the board and a column 88 pixels wide beside it.
inline constexpr int WindowWidth = 688;
inline constexpr int WindowHeight = BoardPixels;

// The side controls start where the board ends; each is 89 pixels wide, so the last pixel
// column of each lies just past the window's edge, as the window was designed.
inline constexpr int ColumnLeft = BoardPixels;
inline constexpr int ColumnWidth = 89;
