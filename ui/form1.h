// The game's only window: the board on the left, the size, count and check controls on the right.
#pragma once

#include "board_painting.h"
#include "cell_cursor.h"
#include "chip_board.h"
#include "game_events.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;

namespace virurad {

class BoardView;
class ScreenReaderWatch;

class Form1 : public QWidget, private GameView {
    Q_OBJECT
  public:
    explicit Form1(QWidget *parent = nullptr);

    // The game being shown, for reading only.
    const ChipBoard &board() const { return m_board; }

  protected:
    void paintEvent(QPaintEvent *event) override;
    // Every press and release on the board and the window's green goes to the one pointer;
    // the board itself lets the mouse through.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    void createSideControls();
    // Where a mouse event happened, in device pixels of the window's client area.
    DevicePoint devicePoint(const QMouseEvent *event) const;

    // The window's event handlers; each calls the board, then shows what changed.
    void Form_Load();
    void loadpieces();
    void SizeScroll_Change();
    void Square_MouseUp(int Button, DevicePoint At);
    void Test_Click();
    // A screen reader's action on a cell, played as that button's release on it.
    void cellAction(int k, int button);
    // A key on the board, which has the focus only while a screen reader runs.
    void boardKey(BoardKey key);
    void followScreenReader(bool running);

    // Shows what an event changed, as the board's one refresh rule hands it out.
    void refreshControls(const Refresh &refresh);
    void repaintBoard(int cell, const PixelRect &area) override;
    void showSizeCaption(std::string_view text) override;
    void showCountCaption(std::string_view text) override;

    ChipBoard m_board;
    Pointer m_pointer;
    CellCursor m_cursor;
    BoardView *m_boardView = nullptr;
    ScreenReaderWatch *m_screenReader = nullptr;
    QScrollBar *SizeScroll = nullptr;
    QLabel *SizeOf = nullptr;
    QLabel *Number = nullptr;
    QPushButton *Test = nullptr;
};

} // namespace virurad
