// Moving the keyboard's cell cursor and playing the cell under it.
#include "cell_cursor.h"

#include <algorithm>

namespace virurad {

namespace {

int clampToBoard(int v, const ChipBoard &board)
{
    return std::clamp(v, 0, board.size() - 1);
}

} // namespace

KeyPlay CellCursor::press(ChipBoard &board, BoardKey key)
{
    // A game smaller than the cursor's last place (which newGame prevents) still keeps it on.
    int x = clampToBoard(cellColumn(m_cell), board), y = clampToBoard(cellRow(m_cell), board);
    switch (key) {
    case BoardKey::Place:
        return {releaseButton(board, CellIndex(x, y), int(MouseButton::Left)), Refresh::NoCell,
                true};
    case BoardKey::Mark:
        return {releaseButton(board, CellIndex(x, y), int(MouseButton::Right)), Refresh::NoCell,
                true};
    case BoardKey::Left:
        x = clampToBoard(x - 1, board);
        break;
    case BoardKey::Right:
        x = clampToBoard(x + 1, board);
        break;
    case BoardKey::Up:
        y = clampToBoard(y - 1, board);
        break;
    case BoardKey::Down:
        y = clampToBoard(y + 1, board);
        break;
    case BoardKey::None:
        return {};
    }
    const int from = m_cell;
    m_cell = CellIndex(x, y);
    // At the board's edge the key is still the board's, so the window does not take it for Tab
    // or scrolling; the cursor just stays.
    return {Refresh{}, from == m_cell ? Refresh::NoCell : from, true};
}

} // namespace virurad
