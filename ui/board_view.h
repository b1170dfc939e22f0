// The painted board: every cell and chip of a ChipBoard, and clicks turned into cell indices.
#pragma once

#include <QWidget>

class ChipBoard;

class BoardView : public QWidget {
    Q_OBJECT
  public:
    // Paints `board`, which must outlive the view; the view keeps no game state of its own.
    explicit BoardView(const ChipBoard &board, QWidget *parent = nullptr);

    // The game being painted, for reading only.
    const ChipBoard &board() const { return m_board; }

    // Repaints one cell after a click changed it, and retells the board's state and that cell's
    // to assistive technology.
    void updateCell(int k);
    // The same for the whole board, after a new game started.
    void updateBoard();

  signals:
    // A mouse button was released over cell `index` of the board.
    void squareMouseUp(int index, int button);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    void paintCell(class QPainter &painter, int k) const;
    void describeBoard();

    const ChipBoard &m_board;
};
