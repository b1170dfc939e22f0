// The game's only window: the board on the left, the size, count and check controls on the right.
#pragma once

#include "board_painting.h"
#include "chip_board.h"
#include "game_events.h"
#include "gdi_owner.h"

#include <windows.h>

#include <string_view>

namespace virurad {

// Holds only what Windows needs: the controls, the fonts, the focus to give back. What a press,
// a release or a new size means, how the board looks and what to show anew afterwards are the
// board's, reached through m_board, m_pointer, paintBoard and showChanges.
class Form1 : private GameView {
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
    void paint();
    void drawCheckButton(const DRAWITEMSTRUCT &item) const;
    LRESULT labelColours(HDC dc, HWND label) const;
    void scrolled(WORD request);
    void mousePressed(UINT message, LPARAM position);
    double scale() const { return double(m_dpi) / 96; }

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
};

} // namespace virurad
