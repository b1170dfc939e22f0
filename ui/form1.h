// The game's only window: the board on the left, the size, count and check controls on the right.
#pragma once

#include "chip_board.h"

#include <QWidget>

class BoardView;
class QLabel;
class QPushButton;
class QScrollBar;

class Form1 : public QWidget {
    Q_OBJECT
  public:
    explicit Form1(QWidget *parent = nullptr);

    // The game being shown, for reading only.
    const ChipBoard &board() const { return m_board; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    void createSideControls();

    // The window's event handlers; each calls the board, then shows what changed.
    void Form_Load();
    void loadpieces();
    void SizeScroll_Change();
    void Square_MouseUp(int Index, int Button);
    void Test_Click();

    // Brings the controls that an event changed in line with the board.
    void refreshControls(const struct Refresh &refresh);

    ChipBoard m_board;
    BoardView *m_boardView = nullptr;
    QScrollBar *SizeScroll = nullptr;
    QLabel *SizeOf = nullptr;
    QLabel *Number = nullptr;
    QPushButton *Test = nullptr;
};
