// Cells, borders and chips in device pixels, and what a window shows anew after an event.
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
void paintFocusRing(const PixelRect &cell, double ratio, Canvas &canvas)
{
    const int b = cellBorderPixels(ratio);
    const PixelRect outer = inset(cell, 2 * b), inner = inset(cell, 4 * b);
    const int innerBottom = inner.top + inner.height, outerBottom = outer.top + outer.height;
    const int innerRight = inner.left + inner.width, outerRight = outer.left + outer.width;
    canvas.fillRect({outer.left, outer.top, outer.width, inner.top - outer.top}, FocusRing);
    canvas.fillRect({outer.left, innerBottom, outer.width, outerBottom - innerBottom}, FocusRing);
    canvas.fillRect({outer.left, inner.top, inner.left - outer.left, inner.height}, FocusRing);
    canvas.fillRect({innerRight, inner.top, outerRight - innerRight, inner.height}, FocusRing);
}

void paintCell(const ChipBoard &board, double ratio, int k, bool focused, Canvas &canvas)
{
    // A fixed single border, as a label draws it, inside the cell's own square.
    const PixelRect cell = deviceCellRect(board, k, ratio);
    canvas.fillRect(cell, CellBorder);
    canvas.fillRect(inset(cell, cellBorderPixels(ratio)), toRgb(board.colour(k)));
    if (focused)
        paintFocusRing(cell, ratio, canvas);
    if (board.hasChip(k))
        canvas.fillDisc(devicePixelRect(board.chipPixelRect(k), ratio), ChipBrown);
}

} // namespace

int cellBorderPixels(double ratio)
{
    return std::max(1, int(std::lround(ratio)));
}

void paintBoard(const ChipBoard &board, double ratio, const PixelRect &area, Canvas &canvas,
                int focusCell)
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
                paintCell(board, ratio, k, k == focusCell, canvas);
        }
    }
}

void showChanges(const ChipBoard &board, const Refresh &refresh, double ratio, GameView &view)
{
    if (refresh.sizeCaption)
        view.showSizeCaption(board.sizeCaption());
    if (refresh.countCaption)
        view.showCountCaption(board.countCaption());
    if (refresh.wholeBoard) {
        const int side = deviceBoardPixels(ratio);
        view.repaintBoard(Refresh::NoCell, {0, 0, side, side});
    } else if (board.isShown(refresh.cell)) {
        view.repaintBoard(refresh.cell, deviceCellRect(board, refresh.cell, ratio));
    }
}

} // namespace virurad
