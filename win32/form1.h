// The game's only window: the board on the left, the size, count and check controls on the right.
#pragma once

#include "board_accessible.h"
#include "board_painting.h"
#include "cell_cursor.h"
#include "chip_board.h"
#include "game_events.h"
#include "gdi_owner.h"
#include "window_accessibility.h"

#include <windows.h>

#include <string_view>

namespace virurad {

// Holds only what Windows needs: the controls, the fonts, the focus to give back. What a press,
// a release, a key on the board or a new size means, how the board looks, what to show anew
// afterwards and what screen readers are told are the board's, reached through m_board,
// m_pointer, m_cursor, paintBoard, showChanges and the texts of accessible_texts.h.
class Form1 : private GameView, private AccessibleWindow {
  public:
    // Creates the window, runs Form_Load and shows it; false if Windows refused the window.
    bool create(HINSTANCE instance, int show);
    // Tab and Shift+Tab around the controls that take the focus, Enter on the button; true if
    // the key was used.
    bool handleDialogKey(const MSG &message);

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createSideControls();
    // Places the side controls and sets the fonts for the window's current dots per inch.
    void applyDpi(UINT dpi);
    void paint();
    void drawCheckButton(const DRAWITEMSTRUCT &item) const;
    LRESULT labelColours(HDC dc, HWND label) const;
    void scrolled(WORD request);
    void mousePressed(UINT message, LPARAM position);
    static LRESULT CALLBACK sizeScrollProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);

    // The board on the keyboard while a screen reader runs (board_focus.cpp).
    void followScreenReader();
    bool boardHasFocus() const { return m_screenReader && GetFocus() == m_window; }
    HWND nextInTabOrder(HWND from, bool backwards) const;
    void moveFocus(HWND to);
    void focusArrived();
    void boardFocusChanged(bool gained);
    bool boardKeyPressed(WPARAM key, LPARAM flags);
    void cursorMoved(int from);
    void tellScreenReaders(const Refresh &refresh);
    void repaintCell(int k);
    void notifyCell(DWORD event, int k) const;

    // What screen readers ask of the window (AccessibleWindow).
    HWND window() const override { return m_window; }
    const ChipBoard &board() const override { return m_board; }
    double scale() const override { return double(m_dpi) / 96; }
    bool boardTakesFocus() const override { return m_screenReader; }
    int focusedCell() const override;
    std::string cellText(int k) const override;
    void playCell(int k, MouseButton button) override;

    // The window's event handlers; each calls the board, then shows what changed.
    void Form_Load();
    void loadpieces();
    void SizeScroll_Change();
    void Square_MouseUp(UINT message, LPARAM position);
    void Test_Click();

    void show(const Refresh &refresh);
    void repaintBoard(int cell, const PixelRect &area) override;
    void showSizeCaption(std::string_view text) override;
    void showCountCaption(std::string_view text) override;

    ChipBoard m_board;
    Pointer m_pointer;
    CellCursor m_cursor;
    // A screen reader runs, as Windows says: the board takes the keyboard, first in the tab order.
    bool m_screenReader = false;
    // The cursor's cell was just played while the board has the focus: its name says what the
    // play did, until the cursor or the focus moves on.
    bool m_announcing = false;
    WindowAccessibility m_accessibility;
    HWND m_window = nullptr;
    HWND SizeScroll = nullptr;
    HWND SizeOf = nullptr;
    HWND Number = nullptr;
    HWND Test = nullptr;
    // What had the focus when the window last lost it, or was last given it by Tab, to have it
    // back: a control, or the window itself as the board.
    HWND m_focus = nullptr;
    WNDPROC m_sizeScrollProc = nullptr;
    UINT m_dpi = 96;
    Font m_sizeFont;
    Font m_countFont;
    Font m_buttonFont;
};

} // namespace virurad
