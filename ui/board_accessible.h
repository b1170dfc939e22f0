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
// Tells assistive technology that a new game started: the table's size and every cell changed.
void announceNewGame(BoardView *view);

} // namespace virurad
