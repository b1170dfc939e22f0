// The board on the keyboard: the cell cursor's moves, its plays and what a screen reader says.
#include "accessible_texts.h"
#include "cell_cursor.h"
#include "positions.h"

#include <gtest/gtest.h>

using namespace virurad;
using namespace support;

TEST(CellCursor, ArrowsMoveOneCellAndStopAtTheEdges)
{
    ChipBoard board;
    board.setSize(3);
    CellCursor cursor;
    EXPECT_EQ(cursor.cell(), CellIndex(0, 0));
    // Left and Up at the top-left corner are the board's, but go nowhere.
    EXPECT_EQ(cursor.press(board, BoardKey::Left), (KeyPlay{Refresh{}, Refresh::NoCell, true}));
    EXPECT_EQ(cursor.press(board, BoardKey::Up).from, Refresh::NoCell);
    EXPECT_EQ(cursor.press(board, BoardKey::Right), (KeyPlay{Refresh{}, CellIndex(0, 0), true}));
    EXPECT_EQ(cursor.press(board, BoardKey::Down).from, CellIndex(1, 0));
    for (int i = 0; i < 5; ++i) {
        cursor.press(board, BoardKey::Right);
        cursor.press(board, BoardKey::Down);
    }
    EXPECT_EQ(cursor.cell(), CellIndex(2, 2));
    EXPECT_EQ(cursor.press(board, BoardKey::None), KeyPlay{});
}

TEST(CellCursor, PlaceAndMarkPlayTheCursorsCellAsClicksWould)
{
    ChipBoard board;
    CellCursor cursor;
    cursor.press(board, BoardKey::Right);
    cursor.press(board, BoardKey::Right);
    for (int i = 0; i < 3; ++i)
        cursor.press(board, BoardKey::Down);
    const int k = CellIndex(2, 3);
    EXPECT_EQ(cursor.press(board, BoardKey::Place), (KeyPlay{{k, false, false, true}, -1, true}));
    EXPECT_TRUE(board.hasChip(2, 3));
    EXPECT_EQ(playAnnouncement(board, k), "column 3, row 4, chip, 1 chip on the board");
    EXPECT_EQ(cursor.press(board, BoardKey::Mark), (KeyPlay{{k, false, false, true}, -1, true}));
    EXPECT_EQ(playAnnouncement(board, k), "column 3, row 4, marked, 0 chips on the board");
    EXPECT_EQ(cursor.press(board, BoardKey::Mark).refresh, (Refresh{k, false, false, false}));
    EXPECT_EQ(playAnnouncement(board, k), "column 3, row 4, empty, 0 chips on the board");
}

TEST(CellCursor, ANewGameTakesTheCursorHomeAndIsAnnouncedBySize)
{
    ChipBoard board;
    CellCursor cursor;
    for (int i = 0; i < 24; ++i)
        cursor.press(board, BoardKey::Right);
    changeSize(board, 24);
    cursor.newGame();
    EXPECT_EQ(cursor.cell(), CellIndex(0, 0));
    EXPECT_EQ(newGameAnnouncement(board), "New game, 24x24");
    // Had the window missed the new game, a play still lands on the board, never off it.
    for (int i = 0; i < 24; ++i)
        cursor.press(board, BoardKey::Right);
    changeSize(board, 3);
    EXPECT_EQ(cursor.press(board, BoardKey::Place).refresh.cell, CellIndex(2, 0));
}

TEST(CellCursor, AScreenReadersFocusPutsItOnAnyCellOfTheBoardOnly)
{
    ChipBoard board;
    board.setSize(5);
    CellCursor cursor;
    cursor.moveTo(board, CellIndex(4, 4));
    EXPECT_EQ(cursor.cell(), CellIndex(4, 4));
    // The arrows go on from where the focus put it.
    EXPECT_EQ(cursor.press(board, BoardKey::Left).from, CellIndex(4, 4));
    EXPECT_EQ(cursor.cell(), CellIndex(3, 4));
    // A cell beyond a 5 x 5 board, or no cell at all, leaves the cursor where it is.
    for (int k : {CellIndex(5, 0), CellIndex(0, 5), CellIndex(24, 24), -1, 625}) {
        cursor.moveTo(board, k);
        EXPECT_EQ(cursor.cell(), CellIndex(3, 4)) << k;
    }
    EXPECT_EQ(cursor.press(board, BoardKey::Place).refresh.cell, CellIndex(3, 4));
}
