// Where the window's parts stand on the screen, as assistive technology clicks them.
#pragma once

#include "chip_board.h"

#include <QPoint>
#include <QPointF>
#include <QRect>

class QWidget;

// A rectangle of the window's layout pixels as it stands on the screen. On X11 a screen reader
// takes an object's extents as X screen pixels and clicks there, while Qt lays the window out in
// pixels scaled by its scale factor; edges are rounded as the painted board rounds them, so a
// cell's extents are exactly its painted square at every scale. Elsewhere (Wayland, offscreen)
// there are no screen pixels to give and the layout pixels are given as they are.
QRect screenRect(const QWidget *window, const PixelRect &inWindow);

// The point of the window's layout that a point on the screen stands on, the inverse of
// screenRect for assistive technology asking what is at a point.
QPointF layoutPoint(const QWidget *window, QPoint onScreen);
