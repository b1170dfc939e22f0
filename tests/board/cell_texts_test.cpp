// What a screen reader says of each cell, and what its two actions do to the game.
#include "accessible_texts.h"
#include "game_events.h"
#include "positions.h"

#include <gtest/gtest.h>

using namespace virurad;
using namespace support;

TEST(CellNames, SayColumnThenRowCountedFromOneAndWhatTheCellHolds)
{
    // Row 0: a chip in column 0, a mark in column 2; row 3: a chip in column 2.
    const ChipBoard board = boardFrom({"X.Y", "...", "...", "..X"});
    EXPECT_EQ(cellName(board, CellIndex(0, 0)), "column 1, row 1, chip");
    EXPECT_EQ(cellName(board, CellIndex(1, 0)), "column 2, row 1, empty");
    EXPECT_EQ(cellName(board, CellIndex(2, 0)), "column 3, row 1, marked");
    // Column 2, row 3 is not column 3, row 2: the index runs down the columns.
    EXPECT_EQ(cellName(board, 53), "column 3, row 4, chip");
    EXPECT_EQ(cellName(board, CellIndex(3, 2)), "column 4, row 3, empty");
    EXPECT_EQ(cellName(board, 624), "column 25, row 25, empty");
}

TEST(CellNames, NoNameOffTheBoardOrOutsideTheIndexSpace)
{
    const ChipBoard board = boardFrom({}, 5);
    EXPECT_EQ(cellName(board, CellIndex(4, 4)), "column 5, row 5, empty");
    EXPECT_EQ(cellName(board, CellIndex(5, 0)), "");
    EXPECT_EQ(cellName(board, CellIndex(0, 5)), "");
    for (int k : {-1, 625, 10000})
        EXPECT_EQ(cellName(ChipBoard{}, k), "") << k;
}

TEST(CellActions, PlaceAndMarkAreTheLeftAndRightButtons)
{
    ASSERT_EQ(CellActions.size(), 2u);
    EXPECT_EQ(CellActions[0].name, "Place or remove chip");
    EXPECT_EQ(CellActions[1].name, "Mark or unmark");

    ChipBoard board;
    const int k = CellIndex(2, 3);
    releaseButton(board, k, int(CellActions[0].button));
    EXPECT_EQ(cellName(board, k), "column 3, row 4, chip");
    EXPECT_EQ(board.countCaption(), " 1 Chips ");
    // Marking the chip's cell takes the chip away; marking again leaves it empty.
    releaseButton(board, k, int(CellActions[1].button));
    EXPECT_EQ(cellName(board, k), "column 3, row 4, marked");
    EXPECT_EQ(board.countCaption(), " 0 Chips ");
    releaseButton(board, k, int(CellActions[1].button));
    EXPECT_EQ(cellName(board, k), "column 3, row 4, empty");
}
