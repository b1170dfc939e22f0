// The board on screens with more than one device pixel to a layout pixel.
#include "device_pixels.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace virurad;

namespace {

const double Ratios[] = {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

} // namespace

TEST(DevicePixels, FullBoardCellsScaleByTheWholeRatio)
{
    const ChipBoard board;
    // The last cell of the 25 x 25 board covers 576..599 in layout pixels.
    const int last = CellIndex(24, 24);
    EXPECT_EQ(devicePixelRect(board.cellPixelRect(last), 1.0), (PixelRect{576, 576, 24, 24}));
    EXPECT_EQ(devicePixelRect(board.cellPixelRect(last), 2.0), (PixelRect{1152, 1152, 48, 48}));
    EXPECT_EQ(devicePixelRect(board.cellPixelRect(last), 1.5), (PixelRect{864, 864, 36, 36}));
    EXPECT_EQ(devicePixelRect(board.cellPixelRect(last), 3.0), (PixelRect{1728, 1728, 72, 72}));
    // Its chip, 14 across in the middle, is 28 at twice the density.
    EXPECT_EQ(devicePixelRect(board.chipPixelRect(last), 2.0), (PixelRect{1162, 1162, 28, 28}));
    EXPECT_EQ(deviceBoardPixels(1.5), 900);
    EXPECT_EQ(deviceBoardPixels(0), 600);
}

TEST(DevicePixels, CellsTileTheBoardAtEverySizeAndRatio)
{
    for (double ratio : Ratios) {
        for (int size = 3; size <= 25; ++size) {
            ChipBoard board;
            board.setSize(size);
            int left = 0;
            for (int x = 0; x < size; ++x) {
                const PixelRect r = devicePixelRect(board.cellPixelRect(CellIndex(x, 0)), ratio);
                ASSERT_EQ(r.left, left) << "size " << size << " ratio " << ratio;
                ASSERT_GT(r.width, 0);
                // Rows tile the same way as columns.
                const PixelRect t = devicePixelRect(board.cellPixelRect(CellIndex(0, x)), ratio);
                ASSERT_EQ(t.top, left);
                ASSERT_EQ(t.height, r.width);
                left += r.width;
            }
            EXPECT_EQ(left, deviceBoardPixels(ratio)) << "size " << size << " ratio " << ratio;
        }
    }
}

TEST(DevicePixels, ChipsStayRoundAndInsideTheirCells)
{
    for (double ratio : Ratios) {
        ChipBoard board;
        board.setSize(7); // 600 / 7 does not divide: cells differ by a pixel
        for (int k : {CellIndex(0, 0), CellIndex(3, 5), CellIndex(6, 6)}) {
            const PixelRect cell = devicePixelRect(board.cellPixelRect(k), ratio);
            const PixelRect chip = devicePixelRect(board.chipPixelRect(k), ratio);
            EXPECT_LE(std::abs(chip.width - chip.height), 1) << ratio;
            EXPECT_GE(chip.left - cell.left, int(5 * ratio));
            EXPECT_GE(cell.left + cell.width - chip.left - chip.width, int(5 * ratio));
        }
    }
}

TEST(DevicePixels, HitTestCountsTheDevicePixelUnderThePointer)
{
    const ChipBoard board;
    for (double ratio : Ratios) {
        // The last device pixel of the board is the last cell; the next one is off the board.
        const int side = deviceBoardPixels(ratio);
        EXPECT_EQ(cellAtDevicePixel(board, side - 1, side - 1, ratio), CellIndex(24, 24));
        EXPECT_EQ(cellAtDevicePixel(board, side, 10, ratio), -1) << ratio;
        // Toolkits that scale in floating point report that pixel a hair short of its edge.
        EXPECT_EQ(cellAtDevicePixel(board, 10, side - 1e-9, ratio), -1) << ratio;
        EXPECT_EQ(cellAtDevicePixel(board, -0.1, 10, ratio), -1);
    }
    // A point in the second half of a device pixel still belongs to that pixel.
    EXPECT_EQ(cellAtDevicePixel(board, 47.9, 0.2, 2.0), CellIndex(0, 0));
    EXPECT_EQ(cellAtDevicePixel(board, 48.0, 0.2, 2.0), CellIndex(1, 0));
}

TEST(DevicePixels, EveryPaintedPixelHitsTheCellPaintedThere)
{
    // Ratios a phone's screen gives a page scaled to fit, besides the usual ones.
    for (double ratio : {1.0, 1.3, 1.5, 1.7, 2.25, 0.6}) {
        for (int size : {3, 7, 24, 25}) {
            ChipBoard board;
            board.setSize(size);
            for (int x = 0; x < size; ++x) {
                const PixelRect r = deviceCellRect(board, CellIndex(x, 0), ratio);
                for (int p : {r.left, r.left + r.width - 1}) {
                    ASSERT_EQ(cellAtDevicePixel(board, p, 0, ratio), CellIndex(x, 0))
                        << "size " << size << " ratio " << ratio << " pixel " << p;
                    ASSERT_EQ(cellAtDevicePixel(board, 0, p + 0.5, ratio), CellIndex(0, x));
                }
            }
        }
    }
}

TEST(DevicePixels, ACoverTakesEveryPixelTheRectangleTouches)
{
    // Cell (1, 0) of 25 x 25 at 1.5: layout 24..48 is device 36..72.
    EXPECT_EQ(scaledCover({24, 0, 24, 24}, 1.5), (PixelRect{36, 0, 36, 36}));
    // Device 37..71 back in layout pixels touches 24.67..47.33: all of 24..48.
    EXPECT_EQ(scaledCover({37, 1, 34, 34}, 1 / 1.5), (PixelRect{24, 0, 24, 24}));
    // An edge inside a pixel takes the whole pixel on each side.
    EXPECT_EQ(scaledCover({1, 1, 1, 1}, 2.5), (PixelRect{2, 2, 3, 3}));
}
