// What each player action does to the game, and what a window must show anew afterwards.
#pragma once

#include "chip_board.h"

namespace virurad {

// Mouse buttons as the game numbers them; a toolkit's own codes map onto these in one line, and
// a button with no number here is 0, which plays nothing.
enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// The parts of the window an event changed. A window repaints these and nothing else.
struct Refresh {
    static constexpr int NoCell = -1;

    int cell = NoCell;         // the one cell to repaint, or NoCell
    bool wholeBoard = false;   // every cell: a new game started
    bool sizeCaption = false;  // the text of SizeOf
    bool countCaption = false; // the text of Number

    friend bool operator==(const Refresh &, const Refresh &) = default;
};

// What a window shows anew when it opens or a new game starts: every cell and both captions.
inline constexpr Refresh WholeWindow{Refresh::NoCell, true, true, true};

// A mouse button released over cell k: 1 toggles a chip, 2 a mark, any other button nothing.
// A cell off the board, or an index outside 0..624, changes nothing. Screen readers' actions on
// a cell come here too, as the release of that button on it.
Refresh releaseButton(ChipBoard &board, int k, int button);

// The size scroll bar now shows `value`: a new game at that size. The size the board already
// has, or a value outside 3..25, changes nothing: a scroll bar may report a value it already
// showed, and that is no reason to wipe the player's game.
Refresh changeSize(ChipBoard &board, int value);

// A point of the window's client area in device pixels, as a toolkit reports the pointer; the
// board fills the area's top-left corner.
struct DevicePoint {
    double x = 0;
    double y = 0;
};

// The mouse on the board: a button counts when it is released over a cell, and only if it went
// down on the board too, so that a press beside the board (on the side column, say) released
// over a cell plays nothing, and neither does a press on the board released beside it. The
// window owns one and hands it every press and release it sees, in any of its parts.
class Pointer {
  public:
    // A button went down at `at`. Nothing changes on the board yet.
    void press(const ChipBoard &board, int button, DevicePoint at, double ratio);
    // The button came up at `at`: the cell under it plays, as releaseButton plays it, if that
    // button went down on the board. A release with no press seen first plays nothing.
    Refresh release(ChipBoard &board, int button, DevicePoint at, double ratio);

  private:
    static unsigned bit(int button);

    unsigned m_pressedOnBoard = 0; // one bit for each button that went down on the board
};

} // namespace virurad
