// WCAG 2.2's contrast ratio, as the tests measure the game's colours against it.
#pragma once

#include "window_design.h"

#include <algorithm>
#include <cmath>

namespace support {

// The relative luminance of an sRGB colour, from 0 (black) to 1 (white).
inline double relativeLuminance(virurad::Rgb c)
{
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

// From 1 (the same) to 21 (black on white).
inline double contrastRatio(virurad::Rgb a, virurad::Rgb b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace support
