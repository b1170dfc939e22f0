// What each window event does to the game and what the window is told to redraw.
#include "accessible_texts.h"
#include "game_events.h"
#include "positions.h"

#include <gtest/gtest.h>

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
