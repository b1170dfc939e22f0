// Cells, borders, chips and marks in device pixels.
#include "board_painting.h"

#include "device_pixels.h"

#include <algorithm>
#include <cmath>

namespace virurad {

namespace {

PixelRect inset(const PixelRect &r, int by)
{
    return {r.left + by, r.top + by, r.width - 2 * by, r.height - 2 * by};
}

bool meets(const PixelRect &a, const PixelRect &b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// A ring two layout pixels wide, two pixels inside the cell's edge: clear of the border and of
// the chip, which stands five pixels in, and dark on white and on yellow alike.
void paintFocusRing(const PixelRect &cell, double ratio, Rgb colour, Canvas &canvas)
{
    const int b = cellBorderPixels(ratio);
    const PixelRect outer = inset(cell, 2 * b), inner = inset(cell, 4 * b);
    const int innerBottom = inner.top + inner.height, outerBottom = outer.top + outer.height;
    const int innerRight = inner.left + inner.width, outerRight = outer.left + outer.width;
    canvas.fillRect({outer.left, outer.top, outer.width, inner.top - outer.top}, colour);
    canvas.fillRect({outer.left, innerBottom, outer.width, outerBottom - innerBottom}, colour);
    canvas.fillRect({outer.left, inner.top, inner.left - outer.left, inner.height}, colour);
    canvas.fillRect({innerRight, inner.top, outerRight - innerRight, inner.height}, colour);
}

// An upright cross over the chip's square, its bars a quarter of that square thick: a shape no
// chip and no ring has, for a player who tells no colours apart.
void paintMarkSign(const PixelRect &square, Rgb colour, Canvas &canvas)
{
    const int t = std::max(2, square.width / 4);
    canvas.fillRect({square.left, square.top + (square.height - t) / 2, square.width, t}, colour);
    canvas.fillRect({square.left + (square.width - t) / 2, square.top, t, square.height}, colour);
}

void paintCell(const ChipBoard &board, double ratio, int k, bool focused, const Colours &colours,
               Canvas &canvas)
{
    // A fixed single border, as a label draws it, inside the cell's own square.
    const PixelRect cell = deviceCellRect(board, k, ratio);
    const bool marked = board.colour(k) == CellColour::Yellow;
    canvas.fillRect(cell, colours.cellBorder);
    canvas.fillRect(inset(cell, cellBorderPixels(ratio)), marked ? colours.marked : colours.empty);
    if (focused)
        paintFocusRing(cell, ratio, colours.ring, canvas);
    const PixelRect square = devicePixelRect(board.chipPixelRect(k), ratio);
    if (board.hasChip(k))
        canvas.fillDisc(square, colours.chip);
    else if (marked && colours.markSign)
        paintMarkSign(square, colours.sign, canvas);
}

} // namespace

int cellBorderPixels(double ratio)
{
    return std::max(1, int(std::lround(ratio)));
}

void paintBoard(const ChipBoard &board, double ratio, const PixelRect &area, Canvas &canvas,
                int focusCell, const Colours &colours)
{
    // Columns and rows are tested on their own, so only the cells that meet the area are
    // visited: after a click that is one cell of 625.
    const int n = board.size();
    for (int x = 0; x < n; ++x) {
        if (!meets(deviceCellRect(board, CellIndex(x, 0), ratio), {area.left, 0, area.width, 1}))
            continue;
        for (int y = 0; y < n; ++y) {
            const int k = CellIndex(x, y);
            if (meets(deviceCellRect(board, k, ratio), area))
                paintCell(board, ratio, k, k == focusCell, colours, canvas);
        }
    }
}

} // namespace virurad
