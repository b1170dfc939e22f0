// Where the window's parts stand on the screen, as assistive technology clicks them.
#pragma once

#include "chip_board.h"
#include "game_events.h"

#include <QPoint>
#include <QRect>

class QWidget;

namespace virurad {

// A rectangle of the window's layout pixels as it stands on the screen. On X11 a screen reader
// takes an object's extents as X screen pixels and clicks there, while Qt lays the window out in
// pixels scaled by its scale factor; edges are rounded as the painted board rounds them, so a
// cell's extents are exactly its painted square at every scale. Elsewhere (Wayland, offscreen)
// there are no screen pixels to give and the layout pixels are given as they are.
QRect screenRect(const QWidget *window, const PixelRect &inWindow);

// A point on the screen as a point of the window's client area, in the pixels that screenRect
// gives (`at`), and how many of them make one layout pixel (`ratio`): what the board needs to
// name the cell a screen reader asks about.
struct WindowPixel {
    DevicePoint at;
    double ratio = 1;
};
WindowPixel windowPixel(const QWidget *window, QPoint onScreen);

} // namespace virurad
