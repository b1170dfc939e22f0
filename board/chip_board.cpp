// The rules of placing chips and marks, and the arithmetic that lays the board out.
#include "chip_board.h"

#include <algorithm>
#include <cmath>

namespace virurad {

std::string NumberText(int n)
{
    // std::to_string already writes the minus sign; other numbers get a space in its place.
    std::string text = std::to_string(n);
    return n < 0 ? text : text.insert(0, 1, ' ');
}

void ChipBoard::setSize(int s)
{
    if (s < MinSize || s > MaxSide)
        return;
    m_size = s;
    m_cells.fill(Cell{});
    m_chipCount = 0;
}

void ChipBoard::pressLeft(int k)
{
    if (!isShown(k))
        return;
    Cell &cell = m_cells[k];
    if (cell.chip) {
        cell.chip = false;
        --m_chipCount;
    } else {
        cell.chip = true;
        cell.colour = CellColour::White;
        ++m_chipCount;
    }
}

bool ChipBoard::pressRight(int k)
{
    if (!isShown(k))
        return false;
    Cell &cell = m_cells[k];
    if (cell.colour == CellColour::Yellow) {
        cell.colour = CellColour::White;
        return false;
    }
    cell.colour = CellColour::Yellow;
    if (!cell.chip)
        return false;
    cell.chip = false;
    --m_chipCount;
    return true;
}

int ChipBoard::markCount() const
{
    // Counted when asked rather than kept, so no operation can let it drift from the cells.
    return int(std::count_if(m_cells.begin(), m_cells.end(),
                             [](const Cell &cell) { return cell.colour == CellColour::Yellow; }));
}

bool ChipBoard::hasChip(int k) const
{
    return isCellIndex(k) && m_cells[k].chip;
}

bool ChipBoard::hasChip(int x, int y) const
{
    return x >= 0 && x < MaxSide && y >= 0 && y < MaxSide && m_cells[CellIndex(x, y)].chip;
}

CellColour ChipBoard::colour(int k) const
{
    return isCellIndex(k) ? m_cells[k].colour : CellColour::White;
}

bool ChipBoard::isShown(int k) const
{
    return isCellIndex(k) && cellColumn(k) < m_size && cellRow(k) < m_size;
}

RectF ChipBoard::cellRect(int k) const
{
    if (!isShown(k))
        return {};
    const double c = cellSide();
    return {float(cellColumn(k) * c), float(cellRow(k) * c), float(c), float(c)};
}

RectF ChipBoard::chipRect(int k) const
{
    if (!isShown(k))
        return {};
    const RectF cell = cellRect(k);
    return {cell.left + ChipInset, cell.top + ChipInset, cell.width - 2 * ChipInset,
            cell.height - 2 * ChipInset};
}

int ChipBoard::gridLine(int i) const
{
    return int(std::lround(i * cellSide()));
}

PixelRect ChipBoard::cellPixelRect(int k) const
{
    if (!isShown(k))
        return {};
    const int x = cellColumn(k), y = cellRow(k);
    const int left = gridLine(x), top = gridLine(y);
    return {left, top, gridLine(x + 1) - left, gridLine(y + 1) - top};
}

PixelRect ChipBoard::chipPixelRect(int k) const
{
    if (!isShown(k))
        return {};
    const PixelRect cell = cellPixelRect(k);
    // Snapped cells at sizes that do not divide 600 may be a pixel wider than high; the
    // chip stays round by taking the shorter side.
    const int side = std::min(cell.width, cell.height) - 2 * ChipInset;
    return {cell.left + (cell.width - side) / 2, cell.top + (cell.height - side) / 2, side, side};
}

std::string ChipBoard::sizeCaption() const
{
    const std::string digits = NumberText(m_size).substr(1);
    return digits + 'x' + digits;
}

std::string ChipBoard::countCaption() const
{
    return NumberText(m_chipCount) + " Chips ";
}

} // namespace virurad
