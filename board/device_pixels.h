// The board's whole-pixel layout on a screen with several device pixels to each layout pixel.
#pragma once

#include "chip_board.h"

namespace virurad {

// A rectangle of layout pixels in device pixels at `ratio` (1, 1.5, 2, ...). Each edge is
// rounded once on its own, so rectangles that share an edge in layout pixels share it in device
// pixels too, and the board's cells tile it at every ratio with no gap or overlap. A ratio that
// is not positive is taken as 1.
PixelRect devicePixelRect(const PixelRect &r, double ratio);

// The smallest rectangle of whole pixels that covers `r` scaled by `scale`: device pixels for
// layout pixels at a ratio, or with 1 / ratio the other way, for a toolkit that updates and
// paints in layout pixels, so that no changed pixel goes unpainted either way.
PixelRect scaledCover(const PixelRect &r, double scale);

// The board area's side in device pixels at `ratio`, where the last cell's edge falls.
int deviceBoardPixels(double ratio);

// Cell k as it is painted at `ratio`, in device pixels; empty for a cell off the board.
PixelRect deviceCellRect(const ChipBoard &board, int k, double ratio);

// The cell painted on the device pixel under a point given in device pixels, or -1 where no
// cell on the board is painted. The test is made against the painted edges themselves, so a
// click always lands on the cell it is seen on. A position a hair short of a pixel's edge, as
// toolkits that scale in floating point report it, counts for the pixel past that edge.
int cellAtDevicePixel(const ChipBoard &board, double x, double y, double ratio);

} // namespace virurad
