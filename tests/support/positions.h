// Builds boards from pictures: one string per row, 'X' a chip, 'Y' a yellow mark, '.' empty.
#pragma once

#include "chip_board.h"

#include <initializer_list>
#include <random>
#include <string_view>
#include <utility>

namespace support {

using namespace virurad;

// Rows are drawn top down; the board keeps the size it was given.
inline ChipBoard boardFrom(std::initializer_list<std::string_view> rows, int size = MaxSide)
{
    ChipBoard board;
    board.setSize(size);
    int y = 0;
    for (std::string_view row : rows) {
        for (int x = 0; x < int(row.size()); ++x) {
            if (row[x] == 'X')
                board.pressLeft(CellIndex(x, y));
            else if (row[x] == 'Y')
                board.pressRight(CellIndex(x, y));
        }
        ++y;
    }
    return board;
}

inline ChipBoard boardWithChips(std::initializer_list<std::pair<int, int>> cells)
{
    ChipBoard board;
    for (auto [x, y] : cells)
        board.pressLeft(CellIndex(x, y));
    return board;
}

// A board of the given size where each cell holds a chip with the given probability.
inline ChipBoard randomBoard(std::mt19937 &rng, int size, double density)
{
    ChipBoard board;
    board.setSize(size);
    std::bernoulli_distribution chip(density);
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size; ++y)
            if (chip(rng))
                board.pressLeft(CellIndex(x, y));
    return board;
}

} // namespace support
