// The game's only window: the board on the left, the size, count and check controls on the right.
#pragma once

#include "game_view.h"
#include "side_controls.h"
#include "window_accessibility.h"

#include <windows.h>

#include <string_view>

namespace virurad {

// Owns the one Game, turns each message into one call on it, and shows the Update it returns.
class Form1 final : private GameView, private AccessibleWindow {
  public:
    // Creates the window, runs Form_Load and shows it; false if Windows refused the window.
    bool create(HINSTANCE instance, int show);
    // A key for the board, the scroll bar or Check Me!, given to the game before Windows sees
    // it; true if the game took it, and then it goes no further.
    bool takeKey(const MSG &message);

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void applyDpi(UINT dpi);
    void paint();
    void mousePressed(UINT message, LPARAM position);
    void focusArrived();
    void followSettings();
    void show(const Update &update) { virurad::show(m_game, update, scale(), *this); }

    // The window's event handlers; each calls the game once, then shows what changed.
    void Form_Load() { loadpieces(); }
    void loadpieces();
    void SizeScroll_Change(WPARAM request);
    void Square_MouseUp(UINT message, LPARAM position);
    void Test_Click();

    // What the window does to show an update (form1_view.cpp).
    void repaintBoard(int cell, const PixelRect &area) override;
    void showSize(std::string_view text, int value) override { m_controls.showSize(text, value); }
    void showCount(std::string_view caption) override { m_controls.showCount(caption); }
    // The table reads its description from the game when asked.
    void describeBoard(std::string_view) override
    {
        notifyBoard(EVENT_OBJECT_DESCRIPTIONCHANGE, Refresh::NoCell);
    }
    void cellChanged(int k) override { notifyBoard(EVENT_OBJECT_NAMECHANGE, k); }
    void cellsReplaced() override;
    void focusCell(int k) override { notifyBoard(EVENT_OBJECT_FOCUS, k); }
    void announce(std::string_view text) override { m_accessibility.announce(m_window, text); }
    void focusControl(Control control) override;
    void check() override { Test_Click(); }
    void notifyBoard(DWORD event, int k) const;

    // What the accessible objects ask of the window.
    HWND window() const override { return m_window; }
    HWND control(Control control) const override { return m_controls.control(control); }
    const Game &game() const override { return m_game; }
    double scale() const override { return double(m_dpi) / 96; }
    void playCell(int k, MouseButton button) override { show(m_game.cellAction(k, button)); }
    void takeFocus(int k) override { show(m_game.focusCell(k)); }

    Game m_game;
    SideControls m_controls;
    WindowAccessibility m_accessibility;
    HWND m_window = nullptr;
    // Where the keyboard was last put, to give it back: a control, or the window as the board.
    HWND m_focus = nullptr;
    UINT m_dpi = 96;
};

} // namespace virurad
