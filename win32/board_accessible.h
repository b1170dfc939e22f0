// The painted board as screen readers meet it through MSAA: a table named "Board" of the cells on
// the board, and the window's client around it, which holds the board beside the side controls.
#pragma once

#include "accessible_object.h"
#include "chip_board.h"
#include "game_events.h"

#include <windows.h>

#include <string>

namespace virurad {

// The object id under which the window hands out the board, in WM_GETOBJECT and in the events it
// raises for the cells; a positive id is the window's own to give.
inline constexpr LONG BoardObjectId = 1;

// The cells are the board's children in reading order, row by row from the top-left cell, with
// ids from 1: cell (x, y) of a board of side n is child y * n + x + 1. Child 0 is the board.
LONG cellChildId(const ChipBoard &board, int k);
// The cell a child id names, or -1 for an id of no cell on the board.
int childCell(const ChipBoard &board, LONG id);

// What the accessible objects ask of the window: they keep no state of the game of their own.
class AccessibleWindow {
  public:
    virtual HWND window() const = 0;
    virtual const ChipBoard &board() const = 0;
    virtual double scale() const = 0;
    // Whether the board takes the keyboard focus at all: only while a screen reader runs.
    virtual bool boardTakesFocus() const = 0;
    // The cursor's cell while the board has the keyboard focus, or Refresh::NoCell.
    virtual int focusedCell() const = 0;
    // What cell k is called now.
    virtual std::string cellText(int k) const = 0;
    // A screen reader's action on cell k, played as the release of that button on it.
    virtual void playCell(int k, MouseButton button) = 0;

  protected:
    ~AccessibleWindow() = default;
};

// The window's client area: the board first, then the side controls, each as its own client
// object, in the order of the tab order. Its name, role and place are Windows' own.
class ClientAccessible final : public AccessibleObject {
  public:
    // Takes over the caller's reference to `standard`, Windows' object for the client area.
    ClientAccessible(AccessibleWindow &window, IAccessible *standard);
    // The board, made at its first use; a new reference.
    IAccessible *board();
    // The window is going: the objects answer nothing more, whoever still holds them.
    void disconnect();

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override;

  protected:
    bool sharesChild(const VARIANT &child) const override;

  private:
    ~ClientAccessible() override;
    // The side control that is child `id` (2 onwards), or null.
    HWND control(LONG id) const;
    IDispatch *childObject(LONG id);
    static IDispatch *controlObject(HWND control);

    AccessibleWindow *m_window;
    class BoardAccessible *m_board = nullptr;
};

} // namespace virurad
