// The column of controls right of the board, each made with its place, colours and font.
#pragma once

class QLabel;
class QPushButton;
class QScrollBar;
class QWidget;

namespace virurad {

// Board size, 3..25, starting at 25; a change counts once it is complete. Its keys are the
// game's, which the window hands it.
QScrollBar *makeSizeScroll(QWidget *parent);
// "25x25" on white.
QLabel *makeSizeLabel(QWidget *parent);
// " 0 Chips " on the control-face colour.
QLabel *makeCountLabel(QWidget *parent);
// The salmon "Check Me!" button.
QPushButton *makeCheckButton(QWidget *parent);

} // namespace virurad
