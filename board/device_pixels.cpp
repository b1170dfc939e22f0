// Layout pixels to device pixels, rounding each edge once.
#include "device_pixels.h"

#include <cmath>

namespace virurad {

namespace {

double validRatio(double ratio)
{
    return ratio > 0 ? ratio : 1.0;
}

int deviceEdge(int layoutEdge, double ratio)
{
    return int(std::lround(layoutEdge * ratio));
}

// The column (or row) whose painted span holds device pixel p, or -1 off the board.
int deviceSlot(const ChipBoard &board, int p, double ratio)
{
    if (p < 0)
        return -1;
    for (int i = 0; i < board.size(); ++i)
        if (p < deviceEdge(board.gridLine(i + 1), ratio))
            return i;
    return -1;
}

} // namespace

PixelRect devicePixelRect(const PixelRect &r, double ratio)
{
    ratio = validRatio(ratio);
    const int left = deviceEdge(r.left, ratio), top = deviceEdge(r.top, ratio);
    return {left, top, deviceEdge(r.left + r.width, ratio) - left,
            deviceEdge(r.top + r.height, ratio) - top};
}

PixelRect scaledCover(const PixelRect &r, double scale)
{
    const int left = int(std::floor(r.left * scale)), top = int(std::floor(r.top * scale));
    return {left, top, int(std::ceil((r.left + r.width) * scale)) - left,
            int(std::ceil((r.top + r.height) * scale)) - top};
}

int deviceBoardPixels(double ratio)
{
    return deviceEdge(BoardPixels, validRatio(ratio));
}

PixelRect deviceCellRect(const ChipBoard &board, int k, double ratio)
{
    return devicePixelRect(board.cellPixelRect(k), ratio);
}

int cellAtDevicePixel(const ChipBoard &board, double x, double y, double ratio)
{
    ratio = validRatio(ratio);
    const auto pixel = [](double p) { return std::isfinite(p) ? int(std::floor(p + 1e-3)) : -1; };
    const int column = deviceSlot(board, pixel(x), ratio);
    const int row = deviceSlot(board, pixel(y), ratio);
    return column < 0 || row < 0 ? -1 : CellIndex(column, row);
}

} // namespace virurad
