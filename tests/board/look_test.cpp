// How the board looks as designed and with more contrast: in the game's own colours, and in a
// palette the player chose for the whole system.
#include "board_painting.h"
#include "look.h"
#include "positions.h"
#include "wcag.h"

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
constexpr Rgb Green{192, 255, 192};
constexpr Rgb Salmon{255, 128, 128};
// Two palettes players choose: white on black with a cyan highlight, and black on white with a
// purple one.
constexpr Palette Dark{{0, 0, 0}, {255, 255, 255}, {26, 235, 255}, {0, 0, 0}, {255, 255, 255}};
constexpr Palette Light{{255, 255, 255}, {0, 0, 0}, {55, 0, 110}, {255, 255, 255}, {0, 0, 0}};
} // namespace expected

struct Fill {
    char shape; // 'r' a rectangle, 'd' a disc
    PixelRect r;
    Rgb colour;
};

class RecordingCanvas : public Canvas {
  public:
    void fillRect(const PixelRect &r, Rgb colour) override { fills.push_back({'r', r, colour}); }
    void fillDisc(const PixelRect &r, Rgb colour) override { fills.push_back({'d', r, colour}); }

    std::vector<Fill> fills;
};

// What cell (x, y) of `board` is painted with at one device pixel to a layout pixel.
std::vector<Fill> cellFills(const ChipBoard &board, int x, int y, const Look &look)
{
    RecordingCanvas canvas;
    const PixelRect cell = board.cellPixelRect(CellIndex(x, y));
    paintBoard(board, 1.0, {cell.left + 1, cell.top + 1, 1, 1}, canvas, Refresh::NoCell,
               coloursFor(look));
    return canvas.fills;
}

Look morePlain()
{
    return {true, false, {}};
}

Look withPalette(const Palette &palette)
{
    return {true, true, palette};
}

} // namespace

TEST(DesignedLook, IsTheWindowAsDesignedWithNoCross)
{
    const Colours c = coloursFor({});
    EXPECT_EQ(c.window, expected::Green);
    EXPECT_EQ(c.cellBorder, expected::Black);
    EXPECT_EQ(c.empty, expected::White);
    EXPECT_EQ(c.marked, expected::Yellow);
    EXPECT_EQ(c.chip, expected::Brown);
    EXPECT_EQ(c.checkFace, expected::Salmon);
    // A marked cell is its border and its yellow, nothing more.
    const std::vector<Fill> fills = cellFills(boardFrom({"Y"}), 0, 0, {});
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[1].colour, expected::Yellow);
}

TEST(MoreContrast, AMarkCarriesADarkCrossAChipStaysADisc)
{
    // Column 0: a mark; column 1: a chip; cells of 24 pixels, chips 14 across at 5 in.
    const ChipBoard board = boardFrom({"YX"});
    const std::vector<Fill> mark = cellFills(board, 0, 0, morePlain());
    ASSERT_EQ(mark.size(), 4u);
    EXPECT_EQ(mark[1].colour, expected::Yellow);
    // The cross: a bar across and a bar down the chip's square, a quarter of it thick.
    EXPECT_EQ(mark[2].shape, 'r');
    EXPECT_EQ(mark[2].r, (PixelRect{5, 10, 14, 3}));
    EXPECT_EQ(mark[3].r, (PixelRect{10, 5, 3, 14}));
    EXPECT_EQ(mark[2].colour, expected::Black);
    const std::vector<Fill> chip = cellFills(board, 1, 0, morePlain());
    ASSERT_EQ(chip.size(), 3u);
    EXPECT_EQ(chip[2].shape, 'd');
    // An empty cell is border and white alone.
    EXPECT_EQ(cellFills(board, 2, 0, morePlain()).size(), 2u);
}

TEST(MoreContrast, ChipMarkAndLinesStandOutFromAnEmptyCellAtThreeToOne)
{
    for (const Look &look :
         {morePlain(), withPalette(expected::Dark), withPalette(expected::Light)}) {
        const Colours c = coloursFor(look);
        EXPECT_GE(contrastRatio(c.chip, c.empty), 3.0);
        EXPECT_GE(contrastRatio(c.sign, c.empty), 3.0);
        EXPECT_GE(contrastRatio(c.sign, c.marked), 3.0);
        EXPECT_GE(contrastRatio(c.cellBorder, c.empty), 3.0);
        EXPECT_GE(contrastRatio(c.ring, c.empty), 3.0);
        // Text on the labels and the button at 4.5 to 1.
        EXPECT_GE(contrastRatio(c.sizeLabelText, c.sizeLabel), 4.5);
        EXPECT_GE(contrastRatio(c.checkText, c.checkFace), 4.5);
        EXPECT_TRUE(c.markSign);
    }
}

TEST(Palette, TheWholeBoardTakesThePlayersColours)
{
    const Colours c = coloursFor(withPalette(expected::Dark));
    // White on black, as the player chose.
    EXPECT_EQ(c.empty, (Rgb{0, 0, 0}));
    EXPECT_EQ(c.marked, (Rgb{0, 0, 0}));
    EXPECT_EQ(c.window, (Rgb{0, 0, 0}));
    EXPECT_EQ(c.chip, (Rgb{255, 255, 255}));
    EXPECT_EQ(c.cellBorder, (Rgb{255, 255, 255}));
    EXPECT_EQ(c.sign, (Rgb{255, 255, 255}));
    EXPECT_EQ(c.ring, (Rgb{26, 235, 255}));
    EXPECT_EQ(c.sizeLabel, (Rgb{0, 0, 0}));
    EXPECT_EQ(c.checkFace, (Rgb{0, 0, 0}));
    EXPECT_EQ(c.checkText, (Rgb{255, 255, 255}));
    // A player who sees no colour at all: an empty cell, a chip and a mark differ in shape.
    const ChipBoard board = boardFrom({"XY."});
    const Look look = withPalette(expected::Light);
    EXPECT_EQ(cellFills(board, 0, 0, look).back().shape, 'd');
    const std::vector<Fill> mark = cellFills(board, 1, 0, look);
    ASSERT_EQ(mark.size(), 4u);
    EXPECT_EQ(mark[2].colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(cellFills(board, 2, 0, look).size(), 2u);
}
