// One game as a window plays it: the board, and every way a player reaches it (the mouse, a finger,
// the keys, a screen reader), with what the window must show anew after each.
#pragma once

#include "cell_cursor.h"
#include "chip_board.h"
#include "game_events.h"
#include "look.h"
#include "touch_pointer.h"

#include <array>
#include <string>
#include <string_view>

namespace virurad {

// The window's parts, named as the window was designed: the ones the keyboard reaches and the
// labels screen readers read beside them.
enum class Control { None, Board, SizeScroll, SizeOf, Number, Test };

// A control's name in the window, as its toolkit knows it: "SizeScroll", "Test".
constexpr std::string_view controlName(Control control)
{
    constexpr std::array<std::string_view, 6> names{"",       "Board",  "SizeScroll",
                                                    "SizeOf", "Number", "Test"};
    return names[std::size_t(control)];
}

// The window opens with the keyboard on the scroll bar, with or without a screen reader: a page
// cannot tell whether one runs, and a desktop tells only after the window has opened.
inline constexpr Control FirstFocus = Control::SizeScroll;

// The keys the game gives a meaning to somewhere in the window. A toolkit maps its own key codes
// onto these in a few lines, and every other key onto Other.
enum class Key { Other, Left, Right, Up, Down, PageUp, PageDown, Home, End, Space, Enter, M, Tab };

inline constexpr unsigned long RepeatMilliseconds = 20;

struct KeyPress {
    Key key = Key::Other;
    bool shift = false;
    // Ctrl, Alt, Meta or the logo key is held: a shortcut of the desktop's or a screen reader's,
    // never one of the game's keys.
    bool command = false;
    // Sent again by a key held down.
    bool repeat = false;
    // When it was pressed, in milliseconds of a steady clock; 0 for a window that does not say.
    unsigned long time = 0;
};

// What an event changed, for the window to show (see show() in game_view.h); an Update of its
// own default changes nothing.
struct Update {
    Refresh refresh; // cells to repaint and captions to rewrite; a changed cell has a new name
    // Cells whose focus ring came or went, to repaint; NoCell where there is none.
    std::array<int, 2> ring{Refresh::NoCell, Refresh::NoCell};
    bool cursorMoved = false;      // the accessible focus went to another cell: the cursor's
    std::string announcement;      // for screen readers to say at once; empty for nothing
    Control focus = Control::None; // the control the keyboard goes to, or None to stay
    bool check = false;            // Check Me! was pressed by its key
    bool handled = false;          // the key was the game's: the toolkit must not act on it too
    bool restyled = false;         // the look changed: every colour of the window is new
};

// A window owns one Game for its whole life, hands it each event in one call, and shows the Update
// that comes back. Calls with values a window cannot deliver (a cell off the board, a size out of
// range, a control with no keys) change nothing.
class Game {
  public:
    const ChipBoard &board() const { return m_board; }

    // The mouse on the board, as Pointer takes it: a release plays the cell under it, and no
    // screen reader is told more than that the cell and the count changed.
    void pressButton(int button, DevicePoint at, double ratio);
    Update releaseButton(int button, DevicePoint at, double ratio);

    // A finger on the board, as TouchPointer takes it.
    void touchDown(int id, DevicePoint at, double ratio);
    void touchMoved(int id, DevicePoint at, double density);
    Update touchHeld(int id);
    Update touchUp(int id);
    void touchCancelled(int id);

    // The size scroll bar shows `value`: a new game, announced with its size, and the cursor
    // back on the top-left cell.
    Update changeSize(int value);

    // A key pressed while `at` has the keyboard. On the board the arrows move the cursor and stop
    // at the edges, Space and Enter play the left button on its cell and M the right, announced;
    // a held arrow keeps moving, a held Space, Enter or M plays once. On the scroll bar Left, Up
    // and PageUp take the size one step down, Right, Down and PageDown one up, Home to 3, End to
    // 25. On Check Me! a fresh Enter presses it; a held one opens its box only once. Tab and
    // Shift+Tab go round the keyboard order. With Ctrl, Alt, Meta or the logo key held no key
    // does anything of the game's.
    Update key(Control at, KeyPress press);
    // A key came up at `time`. A window system that repeats a held key by releasing it and
    // pressing it again at once (X11) may not say that these are repeats: a press of that key
    // within RepeatMilliseconds of its release is one, sooner than any finger presses again.
    void keyReleased(Key key, unsigned long time);

    // A screen reader's action on cell k: the release of that button on it, and what the cell
    // now holds announced with the count.
    Update cellAction(int k, MouseButton button);
    // A screen reader put its focus on cell k: the cursor goes there and the board takes the
    // keyboard. A cell off the board changes nothing.
    Update focusCell(int k);
    // The board gained or lost the keyboard. It gains it only while it takes the focus; handed
    // it otherwise, the keyboard goes on to the first control.
    Update boardFocus(bool has);
    // Whether a screen reader runs, as the desktop says. Off, the board leaves the keyboard order
    // and hands on the keyboard if it had it.
    Update setScreenReader(bool running);

    // The system asks for a look: as designed, more contrast, or its own palette. The game goes
    // on as it was; only its colours change.
    Update setLook(const Look &look);
    const Look &look() const { return m_look; }

    // The control after `from` in the keyboard order, or before it: the board, the scroll bar,
    // Check Me!, round again, the board only while a screen reader runs. From a control outside
    // the order, the one that would follow it there.
    Control nextFocus(Control from, bool backwards) const;
    // The board takes the keyboard, first in the order: only while a screen reader runs.
    bool boardTakesFocus() const { return m_screenReader; }
    // The cursor's cell while the board has the keyboard: where the focus ring shows and where a
    // screen reader's focus is. NoCell otherwise.
    int focusedCell() const { return m_boardFocused ? m_cursor.cell() : Refresh::NoCell; }

  private:
    Update boardKey(KeyPress press);
    Update sizeKey(KeyPress press);
    Update play(const Refresh &refresh, bool announced) const;
    void moveRing(Update &update, int from) const;

    ChipBoard m_board;
    Pointer m_pointer;
    TouchPointer m_touch;
    CellCursor m_cursor;
    bool m_screenReader = false;
    bool m_boardFocused = false;
    Look m_look;
    KeyPress m_released; // the last key to come up, and when
};

} // namespace virurad
