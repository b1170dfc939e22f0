// The painted board: the board paints every pixel of it, and screen readers read it as a table.
#pragma once

#include "chip_board.h"

#include <QWidget>

namespace virurad {

class BoardView : public QWidget {
    Q_OBJECT
  public:
    // Paints `board`, which must outlive the view; the view keeps no game state of its own. The
    // mouse passes through it to the window, whose pointer reads every press and release.
    explicit BoardView(const ChipBoard &board, QWidget *parent = nullptr);

    // The game being painted, for reading only.
    const ChipBoard &board() const { return m_board; }

    // The cells within `area` (device pixels) no longer show the game: they are painted at Qt's
    // next paint, and screen readers are told what changed: cell `k`, or with Refresh::NoCell
    // a new game.
    void showCells(int k, const PixelRect &area);

  signals:
    // A screen reader's user did on cell `k` what a release of `button` there does.
    void cellAction(int k, int button);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    void describeBoard();

    const ChipBoard &m_board;
};

} // namespace virurad
