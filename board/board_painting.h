// How every window paints the board: the game decides every pixel, the toolkit only fills.
#pragma once

#include "chip_board.h"
#include "game_events.h"
#include "look.h"
#include "window_design.h"

#include <string_view>

namespace virurad {

// The two things a toolkit draws for the board, in device pixels of the window's client area.
class Canvas {
  public:
    // Every pixel of `r` in `colour`, with no smoothing at its edges.
    virtual void fillRect(const PixelRect &r, Rgb colour) = 0;
    // The largest disc inside the square `r`, in `colour`; its rim may be smoothed.
    virtual void fillDisc(const PixelRect &r, Rgb colour) = 0;

  protected:
    ~Canvas() = default;
};

// The width of a cell's border, in device pixels: one layout pixel, and at least one device
// pixel, the same on every cell so that none looks bolder than its neighbour.
int cellBorderPixels(double ratio);

// Paints every cell that meets `area` (device pixels at `ratio`), each one whole, in `colours`:
// its border, its colour inside the border, and its chip, or a marked cell's cross where the
// look has one. Cells off the board are not painted. The cell `focusCell`, where the keyboard's
// cell cursor stands while the board has the focus, also gets a focus ring between its border
// and its chip; Refresh::NoCell paints none.
void paintBoard(const ChipBoard &board, double ratio, const PixelRect &area, Canvas &canvas,
                int focusCell = Refresh::NoCell, const Colours &colours = coloursFor({}));

} // namespace virurad
