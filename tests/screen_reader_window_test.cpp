// The board on the keyboard as a desktop switches its screen reader on and off, through the real
// accessibility bus on a session bus of the test's own, and the keypad's keys on it. What a blind
// player meets with the screen reader on is played in tests/blind_play.json.
#include "board_view.h"
#include "window_helpers.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QKeyEvent>

using namespace expected;

namespace {

// What a desktop does when its user turns the screen reader on or off. The accessibility bus
// starts on the first call, as the session bus starts it on a desktop.
void switchScreenReader(bool on)
{
    QDBusMessage set = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                      "org.freedesktop.DBus.Properties", "Set");
    set << "org.a11y.Status"
        << "ScreenReaderEnabled" << QVariant::fromValue(QDBusVariant(on));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(set);
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
}

virurad::BoardView *boardOf(const OpenWindow &w)
{
    return w.window->findChild<virurad::BoardView *>();
}

// The window has heard the bus: the board takes the focus, or has stopped taking it.
void waitForKeyboardPlay(const OpenWindow &w, bool on)
{
    QTRY_COMPARE(bool(boardOf(w)->focusPolicy() & Qt::TabFocus), on);
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, key, modifiers);
}

// The cells of a board of `size` that show the focus ring. The ring stands 2 to 4 pixels inside
// a cell's edge, between its border and its chip: the pixel 3 inside the middle of its left
// edge is dark with the ring, the cell's white or yellow without.
QList<QPoint> ringedCells(const QImage &image, int size)
{
    QList<QPoint> ringed;
    const double side = 600.0 / size;
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size; ++y)
            if (colourAt(image, x * side + 3, (y + 0.5) * side) == Black)
                ringed.append({x, y});
    return ringed;
}

} // namespace

class ScreenReaderWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void theScreenReaderComingAndGoing();
    void theKeypadPlaysAsTheMainKeys();
};

void ScreenReaderWindowTest::theScreenReaderComingAndGoing()
{
    switchScreenReader(false);
    OpenWindow w;
    // Without a screen reader the keyboard goes between the scroll bar and the button only.
    QTRY_COMPARE(QApplication::focusWidget(), w.sizeScroll());
    waitForKeyboardPlay(w, false);
    pressKey(Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), w.checkButton());
    pressKey(Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), w.sizeScroll());

    // Switched on while the game runs, the board joins the tab order.
    switchScreenReader(true);
    waitForKeyboardPlay(w, true);
    pressKey(Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), boardOf(w));
    pressKey(Qt::Key_Right);
    QCOMPARE(ringedCells(w.picture(), 25), QList<QPoint>{QPoint(1, 0)});

    // Switched off while the board has the keyboard: it goes to the scroll bar, the ring goes,
    // and the arrows are the scroll bar's again.
    switchScreenReader(false);
    waitForKeyboardPlay(w, false);
    QCOMPARE(QApplication::focusWidget(), w.sizeScroll());
    QCOMPARE(ringedCells(w.picture(), 25), QList<QPoint>{});
    pressKey(Qt::Key_Left);
    QCOMPARE(w.sizeCaption(), "24x24");
}

void ScreenReaderWindowTest::theKeypadPlaysAsTheMainKeys()
{
    switchScreenReader(true);
    OpenWindow w;
    waitForKeyboardPlay(w, true);
    w.setSize(5);
    pressKey(Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), boardOf(w));
    // The keypad's arrows and Enter, which Qt marks as the keypad's, are the board's keys.
    pressKey(Qt::Key_Right, Qt::KeypadModifier);
    pressKey(Qt::Key_Down, Qt::KeypadModifier);
    QCOMPARE(ringedCells(w.picture(), 5), QList<QPoint>{QPoint(1, 1)});
    pressKey(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(w.countCaption(), " 1 Chips ");
    // With the logo key held they are the desktop's.
    pressKey(Qt::Key_Enter, Qt::KeypadModifier | Qt::MetaModifier);
    pressKey(Qt::Key_Left, Qt::KeypadModifier | Qt::MetaModifier);
    QCOMPARE(w.countCaption(), " 1 Chips ");
    QCOMPARE(ringedCells(w.picture(), 5), QList<QPoint>{QPoint(1, 1)});
}

QTEST_MAIN(ScreenReaderWindowTest)
#include "screen_reader_window_test.moc"
