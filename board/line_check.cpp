// Finds three evenly spaced chips with one 25-bit row mask per column.
#include "line_check.h"

#include <array>
#include <cstdint>

namespace virurad {

namespace {

using ColumnMasks = std::array<std::uint32_t, MaxSide>;

// Bit y of column x is set when cell (x, y) holds a chip.
ColumnMasks columnMasks(const ChipBoard &board)
{
    ColumnMasks masks{};
    for (int x = 0; x < MaxSide; ++x)
        for (int y = 0; y < MaxSide; ++y)
            if (board.hasChip(x, y))
                masks[x] |= std::uint32_t{1} << y;
    return masks;
}

// Triples (x, y), (x + b, y + a), (x + 2b, y + 2a) for one step: shifting the later columns
// down by a and 2a rows lines each triple up on bit y, so one AND tests all rows at once.
// Bits shifted past row 0 drop out, which keeps y + 2a inside the board.
std::uint32_t linesWithStep(const ColumnMasks &col, int b, int a)
{
    std::uint32_t hits = 0;
    const int first = b < 0 ? -2 * b : 0;
    const int last = b < 0 ? MaxSide - 1 : MaxSide - 1 - 2 * b;
    for (int x = first; x <= last; ++x)
        hits |= col[x] & (col[x + b] >> a) & (col[x + 2 * b] >> (2 * a));
    return hits;
}

} // namespace

bool HasLineOfThree(const ChipBoard &board)
{
    const ColumnMasks col = columnMasks(board);
    constexpr int maxStep = (MaxSide - 1) / 2;
    // A step and its negation name the same triples, so rows never need to go upwards. Going
    // on after the first line found keeps the check's time independent of the position.
    std::uint32_t hits = 0;
    for (int a = 0; a <= maxStep; ++a)
        for (int b = -maxStep; b <= maxStep; ++b)
            if (a > 0 || b > 0)
                hits |= linesWithStep(col, b, a);
    return hits != 0;
}

CheckResult RunCheck(const ChipBoard &board)
{
    if (HasLineOfThree(board))
        return {true, "Line Found", "There is a line of 3 chips. Try again!",
                CheckResult::Icon::Error};
    return {false, "No Line Found!",
            "There is no line! Your result of" + NumberText(board.chipCount()) +
                " chips is a success!",
            CheckResult::Icon::Information};
}

} // namespace virurad
