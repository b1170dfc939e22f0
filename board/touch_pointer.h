// A finger (or a pen's tip) on the board: a tap places, a touch held still marks.
#pragma once

#include "chip_board.h"
#include "game_events.h"

namespace virurad {

// How long a touch must stay still to mark its cell, in milliseconds. Half a second is long
// enough that a quick tap never marks, and short enough that a player does not lift early.
inline constexpr int LongPressMilliseconds = 500;

// How far a touch may wander, in screen pixels at the screen's own density (CSS pixels on a
// page), before it counts as a pan or a scroll instead of a tap. A fingertip rolls by a few
// pixels as it lands and lifts; a pan moves far more.
inline constexpr double TouchSlopPixels = 8;

// One finger on the board at a time, turned into the game's buttons:
// - a tap (down and up with no long hold) is the left button on the cell where it landed;
// - a touch held still for LongPressMilliseconds is the right button on that cell, played at
//   once while the finger is still down, and its lift then plays nothing;
// - a touch that moves more than TouchSlopPixels, a second finger, or a cancelled touch ends
//   the gesture with no play, so that a pan or a pinch never plays.
// The window owns one, hands it every touch it sees, starts a timer of LongPressMilliseconds at
// each down and calls held() when it fires. Positions are device pixels of the window's client
// area, as for the mouse; `ratio` is device pixels to each layout pixel, `density` device pixels
// to each screen pixel (for the slop).
class TouchPointer {
  public:
    // A finger came down. A second finger while one is down ends the gesture for both.
    void down(const ChipBoard &board, int id, DevicePoint at, double ratio);
    // A finger moved; beyond the slop its gesture ends with no play.
    void moved(int id, DevicePoint at, double density);
    // The long-press timer of the finger `id` fired: its cell is marked or unmarked, if the
    // finger is still down, still, and alone.
    Refresh held(ChipBoard &board, int id);
    // The finger lifted: a tap plays the left button on the cell where it landed.
    Refresh up(ChipBoard &board, int id);
    // The system took the touch away (a scroll, a gesture of its own): no play.
    void cancel(int id);

  private:
    bool tracking(int id) const { return m_active && !m_ended && id == m_id; }

    bool m_active = false; // a finger is down
    bool m_ended = false;  // its gesture already played or was given up
    int m_id = 0;
    int m_cell = -1; // the cell it landed on, or -1 off the board
    DevicePoint m_start;
    int m_fingers = 0;
};

} // namespace virurad
