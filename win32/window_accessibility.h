// The window's answers to screen readers: its client with the board, and the size scroll bar's
// name. Nothing is made, and COM not started, until a screen reader first asks.
#pragma once

#include "board_accessible.h"

#include <windows.h>

namespace virurad {

class SizeScrollAccessible;

class WindowAccessibility {
  public:
    WindowAccessibility() = default;
    WindowAccessibility(const WindowAccessibility &) = delete;
    WindowAccessibility &operator=(const WindowAccessibility &) = delete;
    ~WindowAccessibility() { disconnect(); }

    // The answer to the window's WM_GETOBJECT: its client or the board, or 0 for what Windows
    // answers itself.
    LRESULT answerWindow(AccessibleWindow &window, WPARAM wParam, LPARAM lParam);
    // The answer to the size scroll bar's WM_GETOBJECT, or 0 for what the bar answers itself.
    LRESULT answerSizeScroll(AccessibleWindow &window, HWND bar, WPARAM wParam, LPARAM lParam);
    // The window is going: every object made answers nothing more of the game, since a screen
    // reader may hold on to one longer.
    void disconnect();

  private:
    bool startCom();

    bool m_comStarted = false;
    ClientAccessible *m_client = nullptr;
    SizeScrollAccessible *m_sizeScroll = nullptr;
};

} // namespace virurad
