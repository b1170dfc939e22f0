// Layout pixels to X screen pixels, for the extents a screen reader reads and clicks.
#include "screen_pixels.h"

#include "device_pixels.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace virurad {

namespace {

// Screen pixels to each layout pixel. Only X11 has screen pixels, and there Qt's platform adds
// no scaling of its own, so the window's device pixel ratio is Qt's scale factor alone.
double screenRatio(const QWidget *window)
{
    static const bool onX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    return onX11 ? window->devicePixelRatioF() : 1.0;
}

// Qt keeps a screen's top-left corner unscaled and scales everything from there.
QPoint screenOrigin(const QWidget *window)
{
    const QScreen *screen = window->screen();
    return screen ? screen->geometry().topLeft() : QPoint();
}

// The window's top-left corner on the screen. Qt gives it in layout pixels, rounded.
QPoint windowCorner(const QWidget *window, double ratio)
{
    const QPoint origin = screenOrigin(window);
    const QPoint offset = window->mapToGlobal(QPoint(0, 0)) - origin;
    return origin +
           QPoint(int(std::lround(offset.x() * ratio)), int(std::lround(offset.y() * ratio)));
}

} // namespace

QRect screenRect(const QWidget *window, const PixelRect &inWindow)
{
    const double ratio = screenRatio(window);
    const PixelRect r = devicePixelRect(inWindow, ratio);
    return QRect(windowCorner(window, ratio) + QPoint(r.left, r.top), QSize(r.width, r.height));
}

WindowPixel windowPixel(const QWidget *window, QPoint onScreen)
{
    const double ratio = screenRatio(window);
    const QPoint at = onScreen - windowCorner(window, ratio);
    return {{double(at.x()), double(at.y())}, ratio};
}

} // namespace virurad
