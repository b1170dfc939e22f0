// Taps, long presses, pans and pinches on the board, as a finger plays them.
#include "positions.h"
#include "touch_pointer.h"

#include <gtest/gtest.h>

using namespace virurad;
using namespace support;

namespace {

// Device pixels of the middle of cell (x, y) of the 25 x 25 board, at `ratio`.
DevicePoint middleOf(int x, int y, double ratio = 3.0)
{
    return {(x * 24 + 12) * ratio, (y * 24 + 12) * ratio};
}

DevicePoint shifted(DevicePoint p, double dx, double dy)
{
    return {p.x + dx, p.y + dy};
}

} // namespace

TEST(Touch, ATapPlacesAndRemovesAChipWhereItLanded)
{
    ChipBoard board;
    TouchPointer touch;
    touch.down(board, 7, middleOf(2, 3), 3.0);
    // The finger rolls a little as it lifts: still a tap on the cell it landed on.
    touch.moved(7, shifted(middleOf(2, 3), 10, -10), 3.0);
    EXPECT_EQ(touch.up(board, 7), (Refresh{CellIndex(2, 3), false, false, true}));
    EXPECT_TRUE(board.hasChip(2, 3));
    touch.down(board, 8, middleOf(2, 3), 3.0);
    touch.up(board, 8);
    EXPECT_FALSE(board.hasChip(2, 3));
}

TEST(Touch, AHeldTouchMarksAtOnceAndItsLiftPlaysNothing)
{
    ChipBoard board = boardFrom({"X"});
    TouchPointer touch;
    // A long press on a chip marks the cell and takes the chip.
    touch.down(board, 1, middleOf(0, 0), 3.0);
    EXPECT_EQ(touch.held(board, 1), (Refresh{0, false, false, true}));
    EXPECT_EQ(board.colour(0), CellColour::Yellow);
    EXPECT_EQ(board.chipCount(), 0);
    EXPECT_EQ(touch.up(board, 1), Refresh{});
    EXPECT_EQ(board.colour(0), CellColour::Yellow);
    // A long press on the mark clears it; a late timer after the lift does nothing.
    touch.down(board, 2, middleOf(0, 0), 3.0);
    EXPECT_EQ(touch.held(board, 2), (Refresh{0, false, false, false}));
    EXPECT_EQ(touch.up(board, 2), Refresh{});
    EXPECT_EQ(touch.held(board, 2), Refresh{});
    EXPECT_EQ(board.colour(0), CellColour::White);
    EXPECT_FALSE(board.hasChip(0));
}

TEST(Touch, APanAPinchOrACancelPlaysNothing)
{
    ChipBoard board;
    TouchPointer touch;
    // Beyond 8 screen pixels (24 device pixels at 3): a pan, neither a tap nor a long press.
    touch.down(board, 1, middleOf(4, 4), 3.0);
    touch.moved(1, shifted(middleOf(4, 4), 0, 25), 3.0);
    EXPECT_EQ(touch.held(board, 1), Refresh{});
    EXPECT_EQ(touch.up(board, 1), Refresh{});
    // A second finger: a pinch. Neither finger plays, whichever lifts first.
    touch.down(board, 2, middleOf(5, 5), 3.0);
    touch.down(board, 3, middleOf(9, 9), 3.0);
    EXPECT_EQ(touch.held(board, 2), Refresh{});
    EXPECT_EQ(touch.up(board, 3), Refresh{});
    EXPECT_EQ(touch.up(board, 2), Refresh{});
    // The system takes the touch away.
    touch.down(board, 4, middleOf(6, 6), 3.0);
    touch.cancel(4);
    EXPECT_EQ(touch.up(board, 4), Refresh{});
    // A touch beside the board plays nothing either.
    touch.down(board, 5, {650 * 3.0, 60 * 3.0}, 3.0);
    EXPECT_EQ(touch.held(board, 5), Refresh{});
    EXPECT_EQ(touch.up(board, 5), Refresh{});
    EXPECT_EQ(board.chipCount(), 0);
    EXPECT_EQ(board.markCount(), 0);
    // After all that, the next plain tap plays as ever.
    touch.down(board, 6, middleOf(1, 1), 3.0);
    EXPECT_EQ(touch.up(board, 6).cell, CellIndex(1, 1));
}
