// Layout pixels to device pixels, rounding each edge once.
#include "device_pixels.h"

#include <cmath>

namespace {

double validRatio(double ratio)
{
    return ratio > 0 ? ratio : 1.0;
}

int deviceEdge(int layoutEdge, double ratio)
{
    return int(std::lround(layoutEdge * ratio));
}

} // namespace

PixelRect devicePixelRect(const PixelRect &r, double ratio)
{
    ratio = validRatio(ratio);
    const int left = deviceEdge(r.left, ratio), top = deviceEdge(r.top, ratio);
    return {left, top, deviceEdge(r.left + r.width, ratio) - left,
            deviceEdge(r.top + r.height, ratio) - top};
}

int deviceBoardPixels(double ratio)
{
    return deviceEdge(BoardPixels, validRatio(ratio));
}

int cellAtDevicePixel(const ChipBoard &board, double px, double py, double ratio)
{
    ratio = validRatio(ratio);
    // A device pixel counts for the layout position of its top-left corner.
    // A position a hair short of a pixel edge, as coordinates in floating point come, is on it.
    const auto snap = [ratio](double p) { return std::floor(p * ratio + 1e-3) / ratio; };
    return board.cellAt(snap(px), snap(py));
}
