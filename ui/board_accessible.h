// The painted board as screen readers meet it: a table of cells a player can read and play.
#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

namespace virurad {

class BoardView;

// Qt's accessibility factory for the board: a table of size x size cells, built only when
// assistive technology asks for the board, each cell only when it is asked for.
QAccessibleInterface *accessibleBoard(const QString &className, QObject *object);

// Tells assistive technology that cell k changed, if it has asked for that cell before; a cell
// it has never been given has nothing of it to update.
void announceCellChange(BoardView *view, int k);
// Tells assistive technology that every cell changed: a new game started, or a screen reader
// came or went, which turns the cells into buttons or back.
void announceNewCells(BoardView *view);
// The cursor's cell takes the accessible focus, so that a screen reader reads it out.
void announceCursor(BoardView *view);
// A key played cell k, which has the focus: a screen reader says what it holds now and the count.
void announceKeyPlay(BoardView *view, int k);

} // namespace virurad
