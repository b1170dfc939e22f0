// Keeps Qt's start-up chatter and abort away from a player; says plainly when no display is there.
#include "application_start.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace virurad {

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
QList<HeldMessage> heldMessages;

// What a platform plugin says when its display server cannot be reached: X's when the display
// named by DISPLAY does not answer, Wayland's (with no category) when the compositor's socket
// does not.
bool saysNoDisplay(const HeldMessage &held)
{
    return (held.category == "qt.qpa.xcb" &&
            held.text.startsWith(QLatin1String("could not connect to display"))) ||
           held.text.startsWith(QLatin1String("Failed to create wl_display"));
}

void releaseHeldMessages()
{
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage &held : std::as_const(heldMessages)) {
        QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
        qt_message_output(held.type, context, held.text);
    }
    heldMessages.clear();
}

// While Qt starts, messages are held back: if it fails only for want of a display they would
// bury the one sentence that matters, and otherwise they are passed on unchanged.
void holdStartupMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        heldMessages.append({type, QByteArray(context.category), text});
        return;
    }
    if (std::any_of(heldMessages.cbegin(), heldMessages.cend(), saysNoDisplay)) {
        std::fputs("Vir Urad Izuva? needs a graphical display, and none could be opened.\n",
                   stderr);
    } else {
        // A broken installation or setting: Qt's own words, and what led up to them, say what
        // to mend.
        releaseHeldMessages();
        previousHandler(type, context, text);
    }
    std::_Exit(1);
}

} // namespace

std::unique_ptr<QApplication> startApplication(int &argc, char **argv)
{
    previousHandler = qInstallMessageHandler(holdStartupMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    releaseHeldMessages();
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(APP_ID));
    return app;
}

int runApplication(QApplication &app)
{
    const int status = app.exec();
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace virurad
