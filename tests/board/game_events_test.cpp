// What each window event does to the game and what the window is told to redraw.
#include "accessible_texts.h"
#include "game_events.h"
#include "positions.h"

#include <gtest/gtest.h>

using namespace virurad;
using namespace support;

TEST(WindowEvents, LeftReleaseRedrawsTheCellAndTheCount)
{
    ChipBoard board;
    const int k = CellIndex(2, 3);
    EXPECT_EQ(releaseButton(board, k, 1), (Refresh{53, false, false, true}));
    EXPECT_TRUE(board.hasChip(k));
    EXPECT_EQ(releaseButton(board, k, 1), (Refresh{53, false, false, true}));
    EXPECT_FALSE(board.hasChip(k));
}

TEST(WindowEvents, RightReleaseRedrawsTheCountOnlyWhenAChipGoes)
{
    ChipBoard board = boardFrom({"X."});
    EXPECT_EQ(releaseButton(board, CellIndex(1, 0), 2), (Refresh{25, false, false, false}));
    EXPECT_EQ(board.colour(CellIndex(1, 0)), CellColour::Yellow);
    EXPECT_EQ(releaseButton(board, 0, 2), (Refresh{0, false, false, true}));
    EXPECT_EQ(board.chipCount(), 0);
}

TEST(WindowEvents, OtherButtonsAndCellsOffTheBoardChangeNothing)
{
    ChipBoard board = boardFrom({"XY"}, 5);
    for (int button : {0, 3, 4, 5, -1})
        EXPECT_EQ(releaseButton(board, CellIndex(2, 2), button), Refresh{});
    for (int k : {CellIndex(5, 0), CellIndex(0, 5), -1, 625})
        for (int button : {1, 2})
            EXPECT_EQ(releaseButton(board, k, button), Refresh{});
    EXPECT_EQ(board.chipCount(), 1);
    EXPECT_EQ(board.markCount(), 1);
}

TEST(WindowEvents, NewSizeRedrawsEverythingAndOutOfRangeNothing)
{
    ChipBoard board = boardFrom({"XY"});
    EXPECT_EQ(changeSize(board, 2), Refresh{});
    EXPECT_EQ(changeSize(board, 26), Refresh{});
    EXPECT_EQ(board.chipCount(), 1);
    EXPECT_EQ(changeSize(board, 24), (Refresh{-1, true, true, true}));
    EXPECT_EQ(board.sizeCaption(), "24x24");
    EXPECT_EQ(board.chipCount(), 0);
    EXPECT_EQ(board.markCount(), 0);
}

TEST(ScreenReaderTexts, BoardSentenceCountsChipsAndMarks)
{
    EXPECT_EQ(boardDescription(ChipBoard{}), "25x25 board, 0 chips, 0 marked cells");
    EXPECT_EQ(boardDescription(boardFrom({"XY"}, 7)), "7x7 board, 1 chip, 1 marked cell");
    EXPECT_EQ(boardDescription(boardFrom({"XXY", "Y.."}, 10)),
              "10x10 board, 2 chips, 2 marked cells");
}

TEST(WindowEvents, TheSizeTheBoardAlreadyHasChangesNothing)
{
    ChipBoard board = boardFrom({"XY"}, 9);
    EXPECT_EQ(changeSize(board, 9), Refresh{});
    EXPECT_EQ(board.chipCount(), 1);
    EXPECT_EQ(board.markCount(), 1);
}

namespace {

// Device pixels of the middle of cell (x, y) on a 25 x 25 board at `ratio`; cells are 24 layout
// pixels square.
DevicePoint middleOf(int x, int y, double ratio = 1.0)
{
    return {(x * 24 + 12) * ratio, (y * 24 + 12) * ratio};
}

const DevicePoint SideColumn{650, 60};

} // namespace

TEST(Pointer, ReleaseCountsOnTheCellUnderItWhenThePressWasOnTheBoard)
{
    for (double ratio : {1.0, 1.5, 2.0}) {
        ChipBoard board;
        Pointer pointer;
        pointer.press(board, 1, middleOf(2, 3, ratio), ratio);
        EXPECT_EQ(pointer.release(board, 1, middleOf(5, 7, ratio), ratio),
                  (Refresh{CellIndex(5, 7), false, false, true}));
        EXPECT_TRUE(board.hasChip(5, 7));
        EXPECT_FALSE(board.hasChip(2, 3));
        pointer.press(board, 2, middleOf(5, 7, ratio), ratio);
        EXPECT_EQ(pointer.release(board, 2, middleOf(5, 7, ratio), ratio),
                  (Refresh{CellIndex(5, 7), false, false, true}));
        EXPECT_EQ(board.colour(CellIndex(5, 7)), CellColour::Yellow);
    }
}

TEST(Pointer, APressAndItsReleaseOnEitherSideOfTheBoardsEdgePlayNothing)
{
    ChipBoard board;
    Pointer pointer;
    // From the side column onto a cell, and from a cell onto the side column.
    pointer.press(board, 1, SideColumn, 1.0);
    EXPECT_EQ(pointer.release(board, 1, middleOf(24, 2), 1.0), Refresh{});
    pointer.press(board, 1, middleOf(24, 2), 1.0);
    EXPECT_EQ(pointer.release(board, 1, {600, 60}, 1.0), Refresh{});
    // The pixels on each side of the edge: 599 is the last column, 600 the side column.
    pointer.press(board, 2, {600, 60}, 1.0);
    EXPECT_EQ(pointer.release(board, 2, {599, 60}, 1.0), Refresh{});
    pointer.press(board, 2, {599, 60}, 1.0);
    EXPECT_EQ(pointer.release(board, 2, {600, 60}, 1.0), Refresh{});
    // Released beyond the window altogether, as a toolkit reports a captured pointer.
    pointer.press(board, 1, middleOf(3, 3), 1.0);
    EXPECT_EQ(pointer.release(board, 1, {-40, 900}, 1.0), Refresh{});
    EXPECT_EQ(board.chipCount(), 0);
    EXPECT_EQ(board.markCount(), 0);
}

TEST(Pointer, EachButtonKeepsItsOwnPressAndOtherButtonsPlayNothing)
{
    ChipBoard board;
    Pointer pointer;
    // A release with no press seen, as when a click activates the window.
    EXPECT_EQ(pointer.release(board, 1, middleOf(0, 0), 1.0), Refresh{});
    // Left down on the board, right down beside it: only the left one plays.
    pointer.press(board, 1, middleOf(1, 1), 1.0);
    pointer.press(board, 2, SideColumn, 1.0);
    EXPECT_EQ(pointer.release(board, 2, middleOf(1, 1), 1.0), Refresh{});
    EXPECT_EQ(pointer.release(board, 1, middleOf(1, 1), 1.0).cell, CellIndex(1, 1));
    // The press is used up by its release.
    EXPECT_EQ(pointer.release(board, 1, middleOf(1, 1), 1.0), Refresh{});
    for (int button : {int(MouseButton::Middle), 0, 3, 5, 40, -1}) {
        pointer.press(board, button, middleOf(4, 4), 1.0);
        EXPECT_EQ(pointer.release(board, button, middleOf(4, 4), 1.0), Refresh{});
    }
    EXPECT_EQ(board.chipCount(), 1);
    EXPECT_EQ(board.markCount(), 0);
}
