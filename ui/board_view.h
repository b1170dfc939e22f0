// The painted board: the board paints every pixel of it, and screen readers read it as a table.
#pragma once

#include "cell_cursor.h"
#include "chip_board.h"

#include <QWidget>

namespace virurad {

class BoardView : public QWidget {
    Q_OBJECT
  public:
    // Paints `board` and the keyboard's `cursor`, which must outlive the view; the view keeps no
    // game state of its own. The mouse passes through it to the window, whose pointer reads every
    // press and release. It takes no keyboard focus until setKeyboardPlay turns that on.
    BoardView(const ChipBoard &board, const CellCursor &cursor, QWidget *parent = nullptr);

    // The game being painted, for reading only.
    const ChipBoard &board() const { return m_board; }
    // The cell the keyboard plays while the board has the focus, or Refresh::NoCell.
    int focusCell() const;

    // While a screen reader runs the board takes the keyboard focus and its keys; otherwise it
    // takes neither, as the window was designed.
    void setKeyboardPlay(bool on);
    bool keyboardPlay() const { return focusPolicy() != Qt::NoFocus; }

    // The cells within `area` (device pixels) no longer show the game: they are painted at Qt's
    // next paint, and screen readers are told what changed: cell `k`, or with Refresh::NoCell
    // a new game.
    void showCells(int k, const PixelRect &area);
    // The cursor left cell `from` for the cell it is on now: the focus ring moves, and screen
    // readers are told of the cell that now has the focus.
    void showCursorMove(int from);
    // A key played the cursor's cell: screen readers say what the cell holds now, and the count.
    void showKeyPlay();

  signals:
    // A screen reader's user did on cell `k` what a release of `button` there does.
    void cellAction(int k, int button);
    // A key meant for the board, while it has the focus.
    void boardKey(BoardKey key);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

  private:
    void describeBoard();
    void repaintCell(int k);

    const ChipBoard &m_board;
    const CellCursor &m_cursor;
};

} // namespace virurad
