// The painted board as screen readers meet it through MSAA, and the window's client that holds it.
#pragma once

#include "accessible_object.h"

namespace virurad {

// The cells are the board's children in reading order, row by row from the top-left cell, with
// ids from 1: cell (x, y) of a board of side n is child y * n + x + 1. Child 0 is the board.
LONG cellChildId(const ChipBoard &board, int k);

// The table of one game, each cell on the board a simple child read from the game at every call.
// A new game is a new table: this one is disconnected and answers CO_E_OBJNOTCONNECTED, so that a
// cell a screen reader held from the last game plays nothing in the new one.
class BoardAccessible final : public AccessibleObject {
  public:
    // `parent` is the window's client, which holds this table until it is disconnected.
    BoardAccessible(AccessibleWindow &window, IDispatch *parent)
        : m_window(&window), m_parent(parent)
    {
    }
    void disconnect()
    {
        m_window = nullptr;
        m_parent = nullptr;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override;
    // A cell is a simple child, read through the table.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch **object) override
    {
        return !object ? E_POINTER : (*object = nullptr, m_window ? S_FALSE : CO_E_OBJNOTCONNECTED);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *child) override;

  private:
    const ChipBoard &board() const { return m_window->game().board(); }
    // answer(k) for the cell `child` names, or k = -1 for the table itself.
    template <typename Answer> HRESULT about(const VARIANT &child, Answer answer) const;

    AccessibleWindow *m_window;
    IDispatch *m_parent;
};

// The board first, then the side controls, each as its own client object, in the order the
// window was designed with: child id n is Control(n). Its name, role and place are Windows' own.
class ClientAccessible final : public AccessibleObject {
  public:
    // Takes over the caller's reference to `standard`, Windows' object for the client area.
    ClientAccessible(AccessibleWindow &window, IAccessible *standard)
        : AccessibleObject(standard), m_window(&window)
    {
    }
    // The current game's table, made at its first use; a new reference.
    IAccessible *board();
    // A new game: the table handed out so far is disconnected, and the next one is new.
    void replaceBoard();
    // The window is going: the objects answer nothing more, whoever still holds them.
    void disconnect();

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        return !count ? E_POINTER : (*count = int(Control::Test), S_OK);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override;

  protected:
    // Windows' object numbers the side controls from 1; here the board comes first.
    bool sharesChild(const VARIANT &child) const override { return childOf(child) == CHILDID_SELF; }

  private:
    ~ClientAccessible() override { replaceBoard(); }

    AccessibleWindow *m_window;
    BoardAccessible *m_board = nullptr;
};

} // namespace virurad
