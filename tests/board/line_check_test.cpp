// The line check: every direction, the edges of the board, the messages, and agreement with
// the triple-by-triple scan.
#include "line_check.h"
#include "plain_line_scan.h"
#include "positions.h"

#include <gtest/gtest.h>

#include <random>

using namespace virurad;
using namespace support;

namespace {

void expectLine(const ChipBoard &board, bool line)
{
    EXPECT_EQ(HasLineOfThree(board), line);
    EXPECT_EQ(plainLineScan(board), line) << "the reference scan disagrees with the test itself";
}

} // namespace

TEST(LineCheck, EvenlySpacedTriplesInEveryDirection)
{
    expectLine(boardWithChips({{0, 0}, {1, 0}, {2, 0}}), true);     // along a row
    expectLine(boardWithChips({{7, 3}, {7, 4}, {7, 5}}), true);     // down a column
    expectLine(boardWithChips({{0, 0}, {2, 1}, {4, 2}}), true);     // two across, one down
    expectLine(boardWithChips({{4, 0}, {2, 1}, {0, 2}}), true);     // two back, one down
    expectLine(boardWithChips({{10, 0}, {9, 7}, {8, 14}}), true);   // steep, leaning left
    expectLine(boardWithChips({{0, 5}, {2, 5}, {4, 5}}), true);     // gaps between the chips
    expectLine(boardWithChips({{0, 0}, {12, 12}, {24, 24}}), true); // the largest step
    expectLine(boardWithChips({{24, 0}, {12, 12}, {0, 24}}), true);
    expectLine(boardWithChips({{24, 24}, {24, 12}, {24, 0}}), true);
    expectLine(boardFrom({"XXXX"}), true);
}

TEST(LineCheck, CollinearButUnevenIsNoLine)
{
    expectLine(boardWithChips({{0, 0}, {1, 1}, {3, 3}}), false);
    expectLine(boardWithChips({{0, 5}, {1, 5}, {3, 5}}), false);
    expectLine(boardWithChips({{0, 0}, {0, 1}, {0, 24}}), false);
    expectLine(boardFrom({"XX.X", "....", "X..X", "XX.X"}), false);
}

TEST(LineCheck, LinesInTheCornersAndAlongTheFarEdges)
{
    expectLine(boardWithChips({{22, 24}, {23, 24}, {24, 24}}), true);
    expectLine(boardWithChips({{24, 22}, {24, 23}, {24, 24}}), true);
    expectLine(boardWithChips({{24, 20}, {23, 22}, {22, 24}}), true);
    expectLine(boardWithChips({{0, 0}, {1, 2}, {2, 4}}), true);
}

TEST(LineCheck, SmallBoardsAndEmptyOnes)
{
    expectLine(ChipBoard{}, false);
    expectLine(boardFrom({"XXX", "...", "..."}, 3), true);
    expectLine(boardFrom({"XX.", "X.X", ".XX"}, 3), false);
}

TEST(CheckMessages, SuccessQuotesTheChipCount)
{
    CheckResult empty = RunCheck(ChipBoard{});
    EXPECT_FALSE(empty.lineFound);
    EXPECT_EQ(empty.title, "No Line Found!");
    EXPECT_EQ(empty.text, "There is no line! Your result of 0 chips is a success!");
    EXPECT_EQ(empty.icon, CheckResult::Icon::Information);

    EXPECT_EQ(RunCheck(boardFrom({"X"})).text,
              "There is no line! Your result of 1 chips is a success!");
    EXPECT_EQ(RunCheck(boardFrom({"XX.XX", ".....", "X...X", "X...X", ".XX.."})).text,
              "There is no line! Your result of 10 chips is a success!");
}

TEST(CheckMessages, LineFoundTellsThePlayerToTryAgain)
{
    const CheckResult line = RunCheck(boardFrom({"XXX"}));
    EXPECT_TRUE(line.lineFound);
    EXPECT_EQ(line.title, "Line Found");
    EXPECT_EQ(line.text, "There is a line of 3 chips. Try again!");
    EXPECT_EQ(line.icon, CheckResult::Icon::Error);
}

TEST(FastCheck, AgreesWithThePlainScanOnRandomBoards)
{
    std::mt19937 rng(12345);
    int lines = 0, clear = 0;
    for (int size : {3, 4, 5, 8, 13, 24, 25}) {
        for (double density : {0.02, 0.05, 0.1, 0.2, 0.5, 0.9}) {
            for (int round = 0; round < 12; ++round) {
                const ChipBoard board = randomBoard(rng, size, density);
                const bool expected = plainLineScan(board);
                ASSERT_EQ(HasLineOfThree(board), expected)
                    << "size " << size << ", density " << density << ", round " << round;
                ++(expected ? lines : clear);
            }
        }
    }
    // Both answers must actually occur, or the comparison proves little.
    EXPECT_GT(lines, 100);
    EXPECT_GT(clear, 100);
}

TEST(FastCheck, FindsEveryStepThroughTheCentre)
{
    // Every step that fits the board, centred on the middle cell, then spoilt by moving the
    // last chip one row further: each direction, both passes, every spacing.
    for (int a = -12; a <= 12; ++a) {
        for (int b = -12; b <= 12; ++b) {
            if (a == 0 && b == 0)
                continue;
            const ChipBoard line = boardWithChips({{12 - b, 12 - a}, {12, 12}, {12 + b, 12 + a}});
            ASSERT_TRUE(HasLineOfThree(line)) << b << "," << a;
            const ChipBoard bent =
                boardWithChips({{12 - b, 12 - a}, {12, 12}, {12 + b, (12 + a + 1) % 25}});
            ASSERT_EQ(HasLineOfThree(bent), plainLineScan(bent)) << b << "," << a;
        }
    }
}
