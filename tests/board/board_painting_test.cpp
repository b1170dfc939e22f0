// What the board paints, and in which pixels.
#include "board_painting.h"
#include "positions.h"

#include <gtest/gtest.h>

#include <vector>

using namespace virurad;
using namespace support;

namespace {

namespace expected {
constexpr Rgb Black{0, 0, 0};
constexpr Rgb White{255, 255, 255};
constexpr Rgb Yellow{255, 255, 0};
constexpr Rgb Brown{192, 64, 0};
} // namespace expected

struct Fill {
    char shape; // 'r' a rectangle, 'd' a disc
    PixelRect r;
    Rgb colour;

    friend bool operator==(const Fill &, const Fill &) = default;
};

class RecordingCanvas : public Canvas {
  public:
    void fillRect(const PixelRect &r, Rgb colour) override { fills.push_back({'r', r, colour}); }
    void fillDisc(const PixelRect &r, Rgb colour) override { fills.push_back({'d', r, colour}); }

    std::vector<Fill> fills;
};

} // namespace

TEST(Painting, ACellIsItsBorderItsColourAndItsChip)
{
    const ChipBoard board = boardFrom({"..", "..", "Y.", "..X"});
    RecordingCanvas canvas;
    // Cell (2, 3) of 25 x 25 is the 24-pixel square at (48, 72); its chip 14 across at (53, 77).
    paintBoard(board, 1.0, {50, 80, 1, 1}, canvas);
    EXPECT_EQ(canvas.fills, (std::vector<Fill>{{'r', {48, 72, 24, 24}, expected::Black},
                                               {'r', {49, 73, 22, 22}, expected::White},
                                               {'d', {53, 77, 14, 14}, expected::Brown}}));
    // At twice the density every edge doubles, and the border is two device pixels.
    canvas.fills.clear();
    paintBoard(board, 2.0, {0, 100, 2, 2}, canvas);
    EXPECT_EQ(canvas.fills, (std::vector<Fill>{{'r', {0, 96, 48, 48}, expected::Black},
                                               {'r', {2, 98, 44, 44}, expected::Yellow}}));
}

TEST(Painting, TheBorderIsOneLayoutPixelAndNeverVanishes)
{
    EXPECT_EQ(cellBorderPixels(1.0), 1);
    EXPECT_EQ(cellBorderPixels(1.5), 2);
    EXPECT_EQ(cellBorderPixels(2.0), 2);
    EXPECT_EQ(cellBorderPixels(3.0), 3);
    EXPECT_EQ(cellBorderPixels(0.5), 1);
}

TEST(Painting, OnlyTheCellsThatMeetTheAreaArePaintedEachOnce)
{
    ChipBoard board;
    board.setSize(7); // cells of 85 or 86 pixels
    RecordingCanvas canvas;
    // A rectangle across the corner where four cells meet, at (86, 86) at ratio 1.
    paintBoard(board, 1.0, {80, 80, 10, 10}, canvas);
    ASSERT_EQ(canvas.fills.size(), 8u);
    EXPECT_EQ(canvas.fills[0].r, (PixelRect{0, 0, 86, 86}));
    EXPECT_EQ(canvas.fills[6].r, (PixelRect{86, 86, 85, 85}));
    // The whole board paints each of its 49 cells once, and nothing off it.
    canvas.fills.clear();
    paintBoard(board, 1.5, {0, 0, 2000, 2000}, canvas);
    EXPECT_EQ(canvas.fills.size(), 49u * 2);
    // An area beside the board paints nothing.
    canvas.fills.clear();
    paintBoard(board, 1.0, {600, 0, 88, 600}, canvas);
    EXPECT_TRUE(canvas.fills.empty());
}

TEST(Painting, TheKeyboardsCellCarriesARingBetweenBorderAndChip)
{
    const ChipBoard board = boardFrom({"X"});
    RecordingCanvas canvas;
    // Cell (0, 0) of 25 x 25: the ring spans pixels 2 to 3 inside the 24-pixel square, the chip
    // starts at 5.
    paintBoard(board, 1.0, {0, 0, 1, 1}, canvas, CellIndex(0, 0));
    EXPECT_EQ(canvas.fills, (std::vector<Fill>{{'r', {0, 0, 24, 24}, expected::Black},
                                               {'r', {1, 1, 22, 22}, expected::White},
                                               {'r', {2, 2, 20, 2}, expected::Black},
                                               {'r', {2, 20, 20, 2}, expected::Black},
                                               {'r', {2, 4, 2, 16}, expected::Black},
                                               {'r', {20, 4, 2, 16}, expected::Black},
                                               {'d', {5, 5, 14, 14}, expected::Brown}}));
    // Other cells, and the same cell with no focus, have no ring.
    canvas.fills.clear();
    paintBoard(board, 1.0, {0, 0, 30, 1}, canvas, CellIndex(1, 0));
    EXPECT_EQ(canvas.fills.size(), 3u + 2u + 4u);
    canvas.fills.clear();
    paintBoard(board, 1.0, {0, 0, 1, 1}, canvas);
    EXPECT_EQ(canvas.fills.size(), 3u);
}
