// Closes windows on Wayland only once the compositor has answered their last frame.
#include "last_frame.h"

#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace virurad {

namespace {

// The plugin hands a window an update it asked for only once no answer is outstanding. That
// update is kept from the window, whose redraw would be a new frame; a widget of the window
// that painted meanwhile has sent a new frame, and means another round.
struct FrameWatch : QObject {
    FrameWatch(QWidget *window, QEventLoop &loop) : window(window), loop(loop) {}

    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::UpdateRequest && object == window->windowHandle()) {
            loop.exit(1);
            return true;
        }
        if (event->type() == QEvent::Paint && object->isWidgetType())
            painted = painted || static_cast<QWidget *>(object)->window() == window;
        return false;
    }

    QWidget *const window;
    QEventLoop &loop;
    bool painted = false;
};

} // namespace

void waitForLastFrame(QWidget *window)
{
    QWindow *handle = window->windowHandle();
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")) || !handle ||
        !handle->isExposed())
        return;
    QEventLoop loop;
    FrameWatch watch(window, loop);
    QCoreApplication::instance()->installEventFilter(&watch);
    QTimer limit;
    limit.setSingleShot(true);
    limit.callOnTimeout(&loop, [&loop] { loop.exit(0); });
    // Nothing in the game redraws by itself, so a few rounds are a bound, not a delay.
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::sendPostedEvents();
        watch.painted = false;
        handle->requestUpdate();
        limit.start(5000);
        const bool answered = loop.exec(QEventLoop::ExcludeUserInputEvents) == 1;
        if (!answered || !watch.painted)
            return;
    }
}

void FrameSafeMessageBox::done(int result)
{
    waitForLastFrame(this);
    QMessageBox::done(result);
}

} // namespace virurad
