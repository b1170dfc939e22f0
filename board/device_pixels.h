// The board's whole-pixel layout on a screen with several device pixels to each layout pixel.
#pragma once

#include "chip_board.h"

// A rectangle of layout pixels in device pixels at `ratio` (1, 1.5, 2, ...). Each edge is
// rounded once on its own, so rectangles that share an edge in layout pixels share it in device
// pixels too, and the board's cells tile it at every ratio with no gap or overlap. A ratio that
// is not positive is taken as 1.
PixelRect devicePixelRect(const PixelRect &r, double ratio);

// The board area's side in device pixels at `ratio`, where the last cell's edge falls.
int deviceBoardPixels(double ratio);

// The cell under a point given in layout pixels, after snapping it to the device pixel it
// stands on: the first device pixel past the board counts for no cell at any ratio.
int cellAtDevicePixel(const ChipBoard &board, double px, double py, double ratio);
