// The board on the keyboard, for players who cannot see it: a cell cursor and the keys that move
// and play it, the same in every window.
#pragma once

#include "chip_board.h"
#include "game_events.h"

namespace virurad {

// The keys the board takes while it has the keyboard focus; a toolkit maps its own key codes onto
// these in a few lines, and any other key is None, which the board leaves to the window.
enum class BoardKey { None, Left, Right, Up, Down, Place, Mark };

// What a key did: the cell it played (as a click would have, and what to repaint), and where the
// cursor went.
struct KeyPlay {
    Refresh refresh;            // what the play changed, if the key played a cell
    int from = Refresh::NoCell; // the cursor's cell before a move, or NoCell if it did not move
    bool used = false;          // the key meant something to the board

    friend bool operator==(const KeyPlay &, const KeyPlay &) = default;
};

// A cursor on one cell of the board, starting at the top-left cell. The arrows move it one cell,
// never off the board; Place plays the left button on its cell and Mark the right button, as a
// release of that button there would. A new game, of any size, puts it back on the top-left cell.
class CellCursor {
  public:
    int cell() const { return m_cell; }
    KeyPlay press(ChipBoard &board, BoardKey key);
    // A screen reader put its focus on cell k, as a page's reader may put it on any cell: the
    // cursor goes there. A cell off the board, or an index outside 0..624, leaves it where it is.
    void moveTo(const ChipBoard &board, int k)
    {
        if (board.isShown(k))
            m_cell = k;
    }
    // The board started a new game: the cursor goes back to the top-left cell.
    void newGame() { m_cell = CellIndex(0, 0); }

  private:
    int m_cell = CellIndex(0, 0);
};

} // namespace virurad
