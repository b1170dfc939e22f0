// The scroll bar, the two labels and Check Me! beside the board: made, placed, lettered, coloured.
#pragma once

#include "game.h"
#include "gdi_owner.h"
#include "wide_text.h"

#include <windows.h>

#include <array>
#include <string_view>

namespace virurad {

class SideControls {
  public:
    // Each control's window procedure is `proc`, which hands on to the one kept in its user data.
    void create(HWND window, WNDPROC proc);
    void applyDpi(UINT dpi);

    HWND control(Control control) const
    {
        const std::array<HWND, 6> windows{nullptr, nullptr, SizeScroll, SizeOf, Number, Test};
        return std::size_t(control) < windows.size() ? windows[std::size_t(control)] : nullptr;
    }
    // Which control a window is, or Control::None: each control's id is the game's name for it.
    Control controlOf(HWND window) const
    {
        const auto named = Control(GetDlgCtrlID(window));
        return window && control(named) == window ? named : Control::None;
    }

    void showSize(std::string_view caption, int value);
    void showCount(std::string_view caption) { SetWindowTextW(Number, wideText(caption).c_str()); }

    // WM_CTLCOLORSTATIC's answer for a label, and Check Me!'s face in WM_DRAWITEM, in `colours`.
    LRESULT labelColours(HDC dc, HWND label, const Colours &colours) const;
    void drawCheckButton(const DRAWITEMSTRUCT &item, const Colours &colours) const;

  private:
    HWND SizeScroll = nullptr;
    HWND SizeOf = nullptr;
    HWND Number = nullptr;
    HWND Test = nullptr;
    Font m_sizeFont;
    Font m_countFont;
    Font m_buttonFont;
};

} // namespace virurad
