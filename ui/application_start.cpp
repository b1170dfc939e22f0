// Keeps Qt's platform chatter and abort away from a player who started the game with no display.
#include "application_start.h"

#include <QByteArray>
#include <QList>

#include <cstdio>
#include <cstdlib>

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
QList<HeldMessage> heldMessages;

// While Qt starts, messages are held back: if start-up fails they would only bury the one
// sentence that matters, and if it succeeds they are passed on unchanged.
void holdStartupMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        std::fputs("Vir Urad Izuva? needs a graphical display, and none could be opened.\n",
                   stderr);
        std::_Exit(1);
    }
    heldMessages.append({type, QByteArray(context.category), text});
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
