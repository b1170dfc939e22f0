// The state of one game: chips, marks, board size, the running count, layout and captions.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace virurad {

// Side of the cell index space; the board the player sees is at most this big.
inline constexpr int MaxSide = 25;
inline constexpr int CellCount = MaxSide * MaxSide;
inline constexpr int MinSize = 3;

// Side of the square board area, in pixels.
inline constexpr int BoardPixels = 600;
// Gap between a cell's edge and its chip's bounding square, on every side.
inline constexpr int ChipInset = 5;

// Cells of one column are consecutive: k = x * 25 + y for column x and row y.
constexpr int CellIndex(int x, int y)
{
    return x * MaxSide + y;
}
constexpr int cellColumn(int k)
{
    return k / MaxSide;
}
constexpr int cellRow(int k)
{
    return k % MaxSide;
}
constexpr bool isCellIndex(int k)
{
    return k >= 0 && k < CellCount;
}

struct CellColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    friend bool operator==(const CellColour &, const CellColour &) = default;

    static const CellColour White;
    static const CellColour Yellow; // the player's mark: "no chip goes here"
};
inline constexpr CellColour CellColour::White{255, 255, 255};
inline constexpr CellColour CellColour::Yellow{255, 255, 0};

// A rectangle in board units: fractions of a pixel as the layout gives them, or whole pixels
// as they are drawn.
template <typename T> struct Rect {
    T left = 0;
    T top = 0;
    T width = 0;
    T height = 0;

    friend bool operator==(const Rect &, const Rect &) = default;
};
// Single precision, as the window's positions are.
using RectF = Rect<float>;
using PixelRect = Rect<int>;

// An integer with one leading sign position: " 7", " 12", "-3".
std::string NumberText(int n);

// Every operation keeps these invariants: the chip count equals the number of chips, a yellow
// cell never holds a chip, and only cells on the board hold chips or marks. Operations given an
// index outside 0..624, an index of a cell off the board, or a size outside 3..25 change nothing;
// queries answer for such an index as for an empty white cell off the board.
class ChipBoard {
  public:
    // A 25 x 25 board, every cell white and empty, count 0.
    ChipBoard() = default;

    // Starts a new game at size s (3..25): every chip and mark is cleared, also on cells that
    // stay on the board.
    void setSize(int s);
    // Left button on cell k: removes its chip, or places one (a yellow cell turns white first).
    void pressLeft(int k);
    // Right button on cell k: a white cell turns yellow and loses its chip; a yellow one turns
    // white. Returns whether a chip was removed, the only case in which the count changes.
    bool pressRight(int k);

    int size() const { return m_size; }
    int chipCount() const { return m_chipCount; }
    // The yellow cells on the board, none of which holds a chip.
    int markCount() const;
    bool hasChip(int k) const;
    bool hasChip(int x, int y) const;
    CellColour colour(int k) const;
    // Whether cell k lies on the board at the current size.
    bool isShown(int k) const;

    // Where cell k and its chip stand in the 600 x 600 board area, as exact fractions of a
    // pixel: cells of side 600 / size, chips inset by 5. Empty for a cell off the board.
    RectF cellRect(int k) const;
    RectF chipRect(int k) const;

    // The same, snapped to whole pixels for drawing. Each cell edge is rounded once, so
    // neighbouring cells share their edge and the cells tile the board with no gap or overlap.
    // The chip is the largest square inset by 5 that fits the snapped cell, centred in it.
    PixelRect cellPixelRect(int k) const;
    PixelRect chipPixelRect(int k) const;
    // Where the i-th grid line is drawn, in whole pixels from the board's left (or top) edge,
    // 0 <= i <= size; line `size` is the board's far edge.
    int gridLine(int i) const;

    // "25x25", "3x3".
    std::string sizeCaption() const;
    // " 0 Chips ", " 12 Chips ".
    std::string countCaption() const;

  private:
    struct Cell {
        bool chip = false;
        CellColour colour = CellColour::White;
    };

    double cellSide() const { return double(BoardPixels) / m_size; }

    std::array<Cell, CellCount> m_cells{};
    int m_size = MaxSide;
    int m_chipCount = 0;
};

} // namespace virurad
