// The board on the keyboard while a screen reader runs: the tab order, the cursor's keys and its
// focus ring, switched on and off as a desktop switches its screen reader, through the real
// accessibility bus on a session bus of the test's own.
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

// The colour inside cell (x, y) of a board of `size`, near its top-left corner: clear of its
// border, its ring and the round chip.
QColor fillOf(const QImage &image, int x, int y, int size)
{
    const double side = 600.0 / size;
    return colourAt(image, x * side + 6, y * side + 6);
}

// The colour in the middle of cell (x, y): the chip's where one stands.
QColor middleOf(const QImage &image, int x, int y, int size)
{
    const double side = 600.0 / size;
    return colourAt(image, (x + 0.5) * side, (y + 0.5) * side);
}

// A window with the screen reader on, the keyboard on the board of `size`, cursor top-left.
struct BoardOnTheKeyboard {
    explicit BoardOnTheKeyboard(int size)
    {
        waitForKeyboardPlay(w, true);
        w.setSize(size);
        QTRY_COMPARE(QApplication::focusWidget(), w.sizeScroll());
        pressKey(Qt::Key_Backtab);
    }
    OpenWindow w;
};

} // namespace

class ScreenReaderWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { switchScreenReader(true); }

    void theBoardComesFirstInTheTabOrder();
    void arrowsMoveTheRingAndStopAtTheEdges();
    void keysPlayTheCursorsCellAsTheButtonsDo();
    void aNewGameBringsTheCursorHome();
    void theRingGoesWithTheFocus();
    void theScreenReaderComingAndGoing();
};

void ScreenReaderWindowTest::theBoardComesFirstInTheTabOrder()
{
    OpenWindow w;
    waitForKeyboardPlay(w, true);
    // The window still opens with the keyboard on the scroll bar.
    QTRY_COMPARE(QApplication::focusWidget(), w.sizeScroll());
    QWidget *board = boardOf(w);
    const std::pair<Qt::Key, QWidget *> steps[] = {{Qt::Key_Tab, w.checkButton()},
                                                   {Qt::Key_Tab, board},
                                                   {Qt::Key_Tab, w.sizeScroll()},
                                                   {Qt::Key_Backtab, board},
                                                   {Qt::Key_Backtab, w.checkButton()}};
    for (auto [key, reached] : steps) {
        pressKey(key);
        QCOMPARE(QApplication::focusWidget(), reached);
    }
}

void ScreenReaderWindowTest::arrowsMoveTheRingAndStopAtTheEdges()
{
    BoardOnTheKeyboard b(5);
    QCOMPARE(ringedCells(b.w.picture(), 5), QList<QPoint>{QPoint(0, 0)});
    // Into each edge and corner, and one key too many at each: the ring stays on the board.
    const std::pair<Qt::Key, QPoint> moves[] = {
        {Qt::Key_Left, {0, 0}},  {Qt::Key_Up, {0, 0}},    {Qt::Key_Right, {1, 0}},
        {Qt::Key_Right, {2, 0}}, {Qt::Key_Right, {3, 0}}, {Qt::Key_Right, {4, 0}},
        {Qt::Key_Right, {4, 0}}, {Qt::Key_Down, {4, 1}},  {Qt::Key_Down, {4, 2}},
        {Qt::Key_Down, {4, 3}},  {Qt::Key_Down, {4, 4}},  {Qt::Key_Down, {4, 4}},
        {Qt::Key_Left, {3, 4}},  {Qt::Key_Up, {3, 3}}};
    for (auto [key, at] : moves) {
        pressKey(key);
        QCOMPARE(ringedCells(b.w.picture(), 5), QList<QPoint>{at});
    }
    // The keypad's arrows move it too; with Ctrl or Alt the arrows are not the board's.
    pressKey(Qt::Key_Left, Qt::KeypadModifier);
    pressKey(Qt::Key_Left, Qt::ControlModifier);
    pressKey(Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(ringedCells(b.w.picture(), 5), QList<QPoint>{QPoint(2, 3)});
    QCOMPARE(b.w.sizeCaption(), "5x5");
}

void ScreenReaderWindowTest::keysPlayTheCursorsCellAsTheButtonsDo()
{
    BoardOnTheKeyboard b(5);
    pressKey(Qt::Key_Right);
    pressKey(Qt::Key_Down);
    // Space, Enter and the keypad's Enter are the left button, M the right one, on cell (1, 1).
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QColor, bool, const char *> plays[] = {
        {Qt::Key_Space, {}, White, true, " 1 Chips "},
        {Qt::Key_Return, {}, White, false, " 0 Chips "},
        {Qt::Key_Enter, Qt::KeypadModifier, White, true, " 1 Chips "},
        {Qt::Key_M, {}, Yellow, false, " 0 Chips "},
        {Qt::Key_Space, {}, White, true, " 1 Chips "},
        {Qt::Key_M, Qt::ShiftModifier, Yellow, false, " 0 Chips "},
        {Qt::Key_M, {}, White, false, " 0 Chips "}};
    for (auto [key, modifiers, fill, chip, count] : plays) {
        pressKey(key, modifiers);
        const QImage image = b.w.picture();
        QCOMPARE(fillOf(image, 1, 1, 5), fill);
        QCOMPARE(middleOf(image, 1, 1, 5), chip ? ChipBrown : fill);
        QCOMPARE(b.w.countCaption(), count);
        // The ring stays on the cell, around the chip and inside the border.
        QCOMPARE(ringedCells(image, 5), QList<QPoint>{QPoint(1, 1)});
        QCOMPARE(colourAt(image, 120.5, 180), Black);
    }

    // A held key plays once, not on and off with every repeat; with Ctrl or Alt it plays nothing.
    const QImage before = b.w.picture();
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_M}) {
        QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(QApplication::focusWidget(), &repeat);
    }
    pressKey(Qt::Key_Space, Qt::ControlModifier);
    pressKey(Qt::Key_M, Qt::AltModifier);
    QCOMPARE(b.w.picture(), before);
    QCOMPARE(b.w.countCaption(), " 0 Chips ");
}

void ScreenReaderWindowTest::aNewGameBringsTheCursorHome()
{
    BoardOnTheKeyboard b(5);
    pressKey(Qt::Key_Right);
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Space);
    pressKey(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), b.w.sizeScroll());
    pressKey(Qt::Key_Left);
    QCOMPARE(b.w.sizeCaption(), "4x4");
    pressKey(Qt::Key_Backtab);
    const QImage image = b.w.picture();
    QCOMPARE(ringedCells(image, 4), QList<QPoint>{QPoint(0, 0)});
    QCOMPARE(middleOf(image, 1, 1, 4), White);
    QCOMPARE(b.w.countCaption(), " 0 Chips ");
}

void ScreenReaderWindowTest::theRingGoesWithTheFocus()
{
    OpenWindow w;
    waitForKeyboardPlay(w, true);
    QTRY_COMPARE(QApplication::focusWidget(), w.sizeScroll());
    const QImage unfocused = w.picture();
    pressKey(Qt::Key_Backtab);
    pressKey(Qt::Key_Right);
    pressKey(Qt::Key_Down);
    QImage image = w.picture();
    QCOMPARE(ringedCells(image, 25), QList<QPoint>{QPoint(1, 1)});
    // Only the cursor's cell differs from the board without the focus: its border and its
    // white inside the ring are as they were.
    QCOMPARE(colourAt(image, 24.5, 36), Black);
    QCOMPARE(colourAt(image, 25.5, 36), White);
    QCOMPARE(colourAt(image, 36, 36), White);
    pressKey(Qt::Key_Tab);
    QCOMPARE(w.picture(), unfocused);
}

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

QTEST_MAIN(ScreenReaderWindowTest)
#include "screen_reader_window_test.moc"
