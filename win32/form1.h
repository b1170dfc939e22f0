// The game's only window: the board on the left, the size, count and check controls on the right.
#pragma once

#include "chip_board.h"
#include "gdi_owner.h"

#include <windows.h>

struct Refresh;

class Form1 {
  public:
    // Creates the window, runs Form_Load and shows it; false if Windows refused the window.
    bool create(HINSTANCE instance, int show);
    // Tab between the scroll bar and the button, Enter on the button; true if the key was used.
    bool handleDialogKey(const MSG &message);

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createSideControls();
    // Places the side controls and sets the fonts for the window's current dots per inch.
    void applyDpi(UINT dpi);
    void paintBoard(const PaintDc &paint) const;
    void paintCell(HDC dc, int k) const;
    void drawCheckButton(const DRAWITEMSTRUCT &item) const;
    LRESULT labelColours(HDC dc, HWND label) const;
    void scrolled(WORD request);
    void buttonReleased(LPARAM position, int button);
    double scale() const { return double(m_dpi) / 96; }

    // The window's event handlers; each calls the board, then shows what changed.
    void Form_Load();
    void loadpieces();
    void SizeScroll_Change();
    void Square_MouseUp(int Index, int Button);
    void Test_Click();

    void refreshControls(const Refresh &refresh);

    ChipBoard m_board;
    HWND m_window = nullptr;
    HWND SizeScroll = nullptr;
    HWND SizeOf = nullptr;
    HWND Number = nullptr;
    HWND Test = nullptr;
    // The control that had the focus when the window last lost it, to have it back.
    HWND m_focus = nullptr;
    UINT m_dpi = 96;
    Font m_sizeFont;
    Font m_countFont;
    Font m_buttonFont;
    Brush m_green;
    Brush m_white;
    Brush m_yellow;
    Brush m_salmon;
    Brush m_chip;
    Pen m_chipPen;
};
