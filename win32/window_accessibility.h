// The window's answers to screen readers, made, and COM started, only when one first asks.
#pragma once

#include "accessible_object.h"

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

namespace virurad {

class ClientAccessible;
class TextAccessible;

// COM and MSAA are reached only through this class.
class WindowAccessibility {
  public:
    WindowAccessibility() = default;
    WindowAccessibility(const WindowAccessibility &) = delete;
    WindowAccessibility &operator=(const WindowAccessibility &) = delete;
    ~WindowAccessibility() { disconnect(); }

    // The answer to a WM_GETOBJECT, or 0 for what Windows answers itself.
    LRESULT answerWindow(AccessibleWindow &window, WPARAM wParam, LPARAM lParam);
    LRESULT answerControl(AccessibleWindow &window, Control control, WPARAM wParam, LPARAM lParam);
    // A new game: the board handed out so far answers nothing more, and the next is new.
    void newBoard();
    // MSAA has no call to say a sentence: the alert object takes it as its name, and screen
    // readers read an alert event's object at once.
    void announce(HWND window, std::string_view text);
    // The window is going: no object answers more of the game, though a reader may hold one.
    void disconnect();

  private:
    bool startCom();

    bool m_comStarted = false;
    std::string m_announcement;
    ClientAccessible *m_client = nullptr;
    TextAccessible *m_alert = nullptr;
    std::array<TextAccessible *, int(Control::Test) + 1> m_controls{};
};

} // namespace virurad
