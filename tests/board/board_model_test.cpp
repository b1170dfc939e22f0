// Chips, marks, size changes, layout and captions of the board model.
#include "board_invariants.h"
#include "chip_board.h"
#include "device_pixels.h"
#include "positions.h"

#include <gtest/gtest.h>

#include <random>

using namespace virurad;
using namespace support;

TEST(BoardStart, FullBoardOfEmptyWhiteCells)
{
    ChipBoard board;
    EXPECT_EQ(board.size(), 25);
    EXPECT_EQ(board.sizeCaption(), "25x25");
    EXPECT_EQ(board.countCaption(), " 0 Chips ");
    for (int k = 0; k < CellCount; ++k)
        ASSERT_TRUE(board.isShown(k) && !board.hasChip(k) && board.colour(k) == CellColour::White);
}

TEST(PlacingChips, LeftPressTogglesTheChipAndTheCount)
{
    ChipBoard board;
    const int k = CellIndex(2, 3);
    ASSERT_EQ(k, 53);
    board.pressLeft(k);
    EXPECT_TRUE(board.hasChip(k));
    EXPECT_TRUE(board.hasChip(2, 3));
    EXPECT_FALSE(board.hasChip(3, 2));
    EXPECT_EQ(board.countCaption(), " 1 Chips ");
    board.pressLeft(k);
    EXPECT_FALSE(board.hasChip(k));
    EXPECT_EQ(board.countCaption(), " 0 Chips ");
}

TEST(PlacingChips, LeftPressOnAMarkPlacesAChipOnWhite)
{
    ChipBoard board = boardFrom({"Y"});
    EXPECT_EQ(board.markCount(), 1);
    board.pressLeft(0);
    EXPECT_TRUE(board.hasChip(0));
    EXPECT_EQ(board.colour(0), CellColour::White);
    EXPECT_EQ(board.chipCount(), 1);
    EXPECT_EQ(board.markCount(), 0);
    board.pressLeft(0);
    EXPECT_FALSE(board.hasChip(0));
    EXPECT_EQ(board.colour(0), CellColour::White) << "removing a chip brings no mark back";
}

TEST(Marks, RightPressTogglesTheMarkAndRemovesAChip)
{
    ChipBoard board = boardFrom({".X"});
    EXPECT_FALSE(board.pressRight(0));
    EXPECT_EQ(board.colour(0), CellColour::Yellow);
    EXPECT_EQ(board.chipCount(), 1);
    EXPECT_EQ(board.markCount(), 1);

    EXPECT_TRUE(board.pressRight(CellIndex(1, 0)));
    EXPECT_EQ(board.markCount(), 2);
    EXPECT_EQ(board.colour(CellIndex(1, 0)), CellColour::Yellow);
    EXPECT_FALSE(board.hasChip(CellIndex(1, 0)));
    EXPECT_EQ(board.countCaption(), " 0 Chips ");

    EXPECT_FALSE(board.pressRight(CellIndex(1, 0)));
    EXPECT_EQ(board.colour(CellIndex(1, 0)), CellColour::White);
    EXPECT_FALSE(board.hasChip(CellIndex(1, 0))) << "clearing a mark must not bring the chip back";
    EXPECT_EQ(board.chipCount(), 0);
    EXPECT_EQ(board.markCount(), 1);
}

TEST(Marks, RandomPressesKeepTheInvariants)
{
    std::mt19937 rng(2024);
    ChipBoard board;
    std::uniform_int_distribution<int> cell(0, CellCount - 1), action(0, 9);
    for (int step = 0; step < 5000; ++step) {
        const int what = action(rng);
        if (what < 5)
            board.pressLeft(cell(rng));
        else if (what < 9)
            board.pressRight(cell(rng));
        else
            board.setSize(std::uniform_int_distribution<int>(3, 25)(rng));
        ASSERT_EQ(brokenInvariant(board), "") << "after step " << step;
    }
}

TEST(SizeChanges, NewSizeClearsChipsAndMarksOnCellsThatStay)
{
    ChipBoard board = boardFrom({"XY", "YX"});
    board.pressLeft(CellIndex(24, 24));
    board.setSize(24);
    EXPECT_EQ(board.chipCount(), 0);
    EXPECT_EQ(board.markCount(), 0);
    EXPECT_EQ(board.countCaption(), " 0 Chips ");
    EXPECT_EQ(board.sizeCaption(), "24x24");
    for (int k = 0; k < CellCount; ++k)
        ASSERT_TRUE(!board.hasChip(k) && board.colour(k) == CellColour::White) << k;
    EXPECT_TRUE(board.isShown(CellIndex(23, 23)));
    EXPECT_FALSE(board.isShown(CellIndex(24, 0)));
    EXPECT_FALSE(board.isShown(CellIndex(0, 24)));

    board.setSize(3);
    int shown = 0;
    for (int k = 0; k < CellCount; ++k)
        shown += board.isShown(k) ? 1 : 0;
    EXPECT_EQ(shown, 9);
    for (int k : {0, 1, 2, 25, 26, 27, 50, 51, 52})
        EXPECT_TRUE(board.isShown(k)) << k;
}

TEST(Layout, CellsAndChipsAtSizes25And3)
{
    ChipBoard board;
    EXPECT_EQ(board.cellRect(624), (RectF{576, 576, 24, 24}));
    EXPECT_EQ(board.chipRect(624), (RectF{581, 581, 14, 14}));
    board.setSize(3);
    EXPECT_EQ(board.cellRect(CellIndex(2, 1)), (RectF{400, 200, 200, 200}));
    EXPECT_EQ(board.chipRect(CellIndex(2, 1)), (RectF{405, 205, 190, 190}));
    // At 7 the cells are 85.714... wide and still end on the board's edge.
    board.setSize(7);
    const RectF last = board.cellRect(CellIndex(6, 6));
    EXPECT_FLOAT_EQ(last.left + last.width, 600.0f);
    EXPECT_FLOAT_EQ(last.width, 600.0f / 7);
}

TEST(Layout, SnappedCellsTileTheBoardAtEverySize)
{
    ChipBoard board;
    for (int size = 3; size <= 25; ++size) {
        board.setSize(size);
        for (int x = 0; x < size; ++x) {
            for (int y = 0; y < size; ++y) {
                // Each cell ends where its neighbour begins; the last ones end at 600.
                const PixelRect r = board.cellPixelRect(CellIndex(x, y));
                const int rightEdge =
                    x + 1 < size ? board.cellPixelRect(CellIndex(x + 1, y)).left : 600;
                const int bottomEdge =
                    y + 1 < size ? board.cellPixelRect(CellIndex(x, y + 1)).top : 600;
                ASSERT_EQ(r.left + r.width, rightEdge) << size << ": " << x << "," << y;
                ASSERT_EQ(r.top + r.height, bottomEdge) << size << ": " << x << "," << y;
                ASSERT_TRUE(x > 0 || r.left == 0);
                ASSERT_TRUE(y > 0 || r.top == 0);
            }
        }
    }
}

TEST(Layout, SnappedChipsAreRoundAndInsetAtLeastFive)
{
    ChipBoard board;
    for (int size = 3; size <= 25; ++size) {
        board.setSize(size);
        for (int k = 0; k < CellCount; ++k) {
            if (!board.isShown(k))
                continue;
            const PixelRect cell = board.cellPixelRect(k), chip = board.chipPixelRect(k);
            ASSERT_EQ(chip.width, chip.height);
            ASSERT_GE(chip.left - cell.left, 5);
            ASSERT_GE(chip.top - cell.top, 5);
            ASSERT_GE(cell.left + cell.width - (chip.left + chip.width), 5);
            ASSERT_GE(cell.top + cell.height - (chip.top + chip.height), 5);
            ASSERT_LE(cell.width - chip.width, 11) << "chip should fill its cell but the inset";
        }
    }
    board.setSize(25);
    EXPECT_EQ(board.chipPixelRect(624), (PixelRect{581, 581, 14, 14}));
}

TEST(HitTest, EveryPixelFindsTheCellDrawnThere)
{
    ChipBoard board;
    for (int size : {3, 7, 16, 24, 25}) {
        board.setSize(size);
        for (int k = 0; k < CellCount; ++k) {
            if (!board.isShown(k))
                continue;
            const PixelRect r = board.cellPixelRect(k);
            ASSERT_EQ(cellAtDevicePixel(board, r.left, r.top, 1.0), k) << size;
            ASSERT_EQ(
                cellAtDevicePixel(board, r.left + r.width - 0.01, r.top + r.height - 0.01, 1.0), k)
                << size;
        }
    }
}

TEST(HitTest, PointsOffTheBoardFindNoCell)
{
    ChipBoard board;
    board.setSize(7);
    // Right of the last column must not wrap round to the next row's first cell.
    EXPECT_EQ(cellAtDevicePixel(board, 600, 10, 1.0), -1);
    EXPECT_EQ(cellAtDevicePixel(board, 10, 600, 1.0), -1);
    EXPECT_EQ(cellAtDevicePixel(board, -0.5, 10, 1.0), -1);
    EXPECT_EQ(cellAtDevicePixel(board, 10, -1, 1.0), -1);
    EXPECT_EQ(cellAtDevicePixel(board, 599.9, 599.9, 1.0), CellIndex(6, 6));
}

TEST(Captions, OneAndTwoDigits)
{
    ChipBoard board;
    board.setSize(9);
    EXPECT_EQ(board.sizeCaption(), "9x9");
    board.setSize(10);
    EXPECT_EQ(board.sizeCaption(), "10x10");
    board.setSize(3);
    EXPECT_EQ(board.sizeCaption(), "3x3");

    board.setSize(25);
    for (int k = 0; k < 12; ++k)
        board.pressLeft(k);
    EXPECT_EQ(board.countCaption(), " 12 Chips ");
    EXPECT_EQ(NumberText(7), " 7");
    EXPECT_EQ(NumberText(0), " 0");
    EXPECT_EQ(NumberText(-3), "-3");
}

TEST(UnsafeInput, OutOfRangeIndexChangesNothing)
{
    ChipBoard board = boardFrom({"XY"});
    for (int k : {-1, 625, 100000, -100000}) {
        board.pressLeft(k);
        EXPECT_FALSE(board.pressRight(k));
        EXPECT_FALSE(board.hasChip(k));
        EXPECT_EQ(board.colour(k), CellColour::White);
        EXPECT_FALSE(board.isShown(k));
        EXPECT_EQ(board.cellRect(k), RectF{});
        EXPECT_EQ(board.chipPixelRect(k), PixelRect{});
    }
    EXPECT_FALSE(board.hasChip(-1, 0));
    EXPECT_FALSE(board.hasChip(0, 25));
    EXPECT_EQ(board.chipCount(), 1);
    EXPECT_TRUE(board.hasChip(0));
    EXPECT_EQ(board.colour(CellIndex(1, 0)), CellColour::Yellow);
    EXPECT_EQ(brokenInvariant(board), "");
}

TEST(UnsafeInput, HiddenCellsTakeNoChipOrMark)
{
    ChipBoard board;
    board.setSize(5);
    const int hidden = CellIndex(5, 0);
    board.pressLeft(hidden);
    EXPECT_FALSE(board.pressRight(hidden));
    EXPECT_FALSE(board.pressRight(CellIndex(0, 5)));
    EXPECT_EQ(board.chipCount(), 0);
    EXPECT_EQ(board.colour(CellIndex(0, 5)), CellColour::White);
    EXPECT_EQ(board.cellRect(hidden), RectF{});
    EXPECT_EQ(brokenInvariant(board), "");
}

TEST(UnsafeInput, SizeOutOfRangeKeepsTheGame)
{
    ChipBoard board = boardFrom({"X.Y"}, 10);
    for (int s : {2, 0, -5, 26, 1000}) {
        board.setSize(s);
        EXPECT_EQ(board.size(), 10);
        EXPECT_EQ(board.chipCount(), 1);
        EXPECT_EQ(board.colour(CellIndex(2, 0)), CellColour::Yellow);
    }
}
