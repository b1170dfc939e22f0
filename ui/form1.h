// The game's only window: the board on the left, the size, count and check controls on the right.
#pragma once

#include "board_view.h"
#include "game.h"
#include "game_view.h"
#include "qt_design.h"
#include "window_accessible.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

#include <array>

namespace virurad {

class DesktopSettings;

class Form1 : public QWidget, private GameView {
    Q_OBJECT
  public:
    explicit Form1(QWidget *parent = nullptr);

    // The game being shown, for reading only.
    const Game &game() const { return m_game; }
    // Hands the game an event that comes from outside the window's own handlers, a screen
    // reader's on a cell: `event` makes the one call to the game, and the window shows its Update.
    template <typename Event> void handle(Event event) { showUpdate(event(m_game)); }

  protected:
    void paintEvent(QPaintEvent *event) override;
    // Every press and release on the board and the window's green goes to the game; the board
    // itself lets the mouse through.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // The keys of the board, the scroll bar and Check Me!, and the wheel on the scroll bar.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The window closes only once the compositor has answered its last frame.
    void closeEvent(QCloseEvent *event) override;

  private:
    // Which of the window's parts `object` is; Control::None for anything else.
    Control controlOf(const QObject *object) const;
    DevicePoint devicePoint(const QMouseEvent *event) const;
    // The window's parts by Control, as the game names them.
    std::array<QWidget *, 6> controls() const
    {
        return {nullptr, m_boardView, SizeScroll, SizeOf, Number, Test};
    }
    QWidget *widgetOf(Control control) const { return controls()[std::size_t(control)]; }

    // The window's event handlers; each calls the game, then shows what changed.
    void Form_Load();
    void loadpieces();
    void SizeScroll_Change();
    void Square_MouseUp(int Button, DevicePoint At);
    void Test_Click();
    void followScreenReader(bool running);
    void followContrast(bool more);

    void showUpdate(const Update &update);
    void repaintBoard(int, const PixelRect &area) override;
    void showSize(std::string_view caption, int value) override;
    void showCount(std::string_view caption) override { Number->setText(qText(caption)); }
    void describeBoard(std::string_view text) override
    {
        m_boardView->setAccessibleDescription(qText(text));
    }
    void cellChanged(int k) override { announceCell(m_boardView, k, QAccessible::NameChanged); }
    void cellsReplaced() override { announceNewCells(m_boardView); }
    void focusCell(int k) override;
    void announce(std::string_view text) override { virurad::announce(this, qText(text)); }
    void focusControl(Control control) override { widgetOf(control)->setFocus(Qt::TabFocusReason); }
    void check() override { Test_Click(); }

    Game m_game;
    BoardView *m_boardView = nullptr;
    DesktopSettings *m_desktop = nullptr;
    QScrollBar *SizeScroll = nullptr;
    QLabel *SizeOf = nullptr;
    QLabel *Number = nullptr;
    QPushButton *Test = nullptr;
};

} // namespace virurad
