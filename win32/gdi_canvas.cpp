// Paints the board from the model's own layout: only the cells inside the damaged area.
#include "device_pixels.h"
#include "form1.h"
#include "win32_design.h"

#include <algorithm>
#include <cmath>

namespace {

RECT toRect(const PixelRect &r)
{
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

} // namespace

void Form1::paintBoard(const PaintDc &paint) const
{
    const RECT &area = paint.area();
    const int side = deviceBoardPixels(scale());
    // Around the side controls the window's own green shows.
    if (area.right > side) {
        const RECT column{std::max(LONG(side), area.left), area.top, area.right, area.bottom};
        FillRect(paint.dc(), &column, m_green.get());
    }
    const int right = std::min(LONG(side), area.right) - 1;
    const int bottom = std::min(LONG(side), area.bottom) - 1;
    const double ratio = scale();
    const int first = cellAtDevicePixel(m_board, area.left / ratio, area.top / ratio, ratio);
    const int last = cellAtDevicePixel(m_board, right / ratio, bottom / ratio, ratio);
    if (first < 0 || last < 0)
        return;
    for (int x = cellColumn(first); x <= cellColumn(last); ++x)
        for (int y = cellRow(first); y <= cellRow(last); ++y)
            paintCell(paint.dc(), CellIndex(x, y));
}

void Form1::paintCell(HDC dc, int k) const
{
    // A border of one design pixel inside each cell, as a label's fixed single border is drawn.
    RECT cell = toRect(devicePixelRect(m_board.cellPixelRect(k), scale()));
    FillRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int border = std::max(1, int(std::lround(scale())));
    InflateRect(&cell, -border, -border);
    const bool marked = m_board.colour(k) == CellColour::Yellow;
    FillRect(dc, &cell, marked ? m_yellow.get() : m_white.get());
    if (!m_board.hasChip(k))
        return;
    const RECT chip = toRect(devicePixelRect(m_board.chipPixelRect(k), scale()));
    const Selection pen(dc, m_chipPen.get());
    const Selection brush(dc, m_chip.get());
    Ellipse(dc, chip.left, chip.top, chip.right, chip.bottom);
}
