// The side controls' own widget classes: Qt's, with the game's keys, and a class name of their
// own that lets the game give screen readers their place on the screen (side_accessible.h).
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace virurad {

// The board size. Its keys go as the game's scroll bar goes in every window, and the wheel
// does nothing.
class SizeScrollBar : public QScrollBar {
    Q_OBJECT
  public:
    using QScrollBar::QScrollBar;

  protected:
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

// "Check Me!": Enter on it presses it.
class CheckButton : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A caption beside the board: the size or the count.
class CaptionLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
};

} // namespace virurad
