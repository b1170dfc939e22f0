// The line check written out triple by triple: the reference the fast check must agree with.
#pragma once

#include "chip_board.h"

namespace support {

using namespace virurad;

// Both passes run to their end, reading every triple's three cells in order, so the cost is
// that of the straightforward scan whatever the position.
inline bool plainLineScan(const ChipBoard &board)
{
    constexpr int N = MaxSide;
    const int m = int((N - 1) / 2.0);
    auto isLine = [&](int x, int y, int b, int a) {
        int chips = 0;
        chips += board.hasChip(x, y) ? 1 : 0;
        chips += board.hasChip(x + b, y + a) ? 1 : 0;
        chips += board.hasChip(x + 2 * b, y + 2 * a) ? 1 : 0;
        return chips == 3;
    };
    bool found = false;
    for (int a = 0; a <= m; ++a)
        for (int b = 0; b <= m; ++b)
            if (a != 0 || b != 0)
                for (int x = 0; x <= N - 1 - 2 * b; ++x)
                    for (int y = 0; y <= N - 1 - 2 * a; ++y)
                        if (isLine(x, y, b, a))
                            found = true;
    for (int a = 0; a <= m; ++a)
        for (int b = -m; b <= 0; ++b)
            if (a != 0 || b != 0)
                for (int x = -2 * b; x <= N - 1; ++x)
                    for (int y = 0; y <= N - 1 - 2 * a; ++y)
                        if (isLine(x, y, b, a))
                            found = true;
    return found;
}

} // namespace support
