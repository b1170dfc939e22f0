// The game window as a player meets it: pixels, mouse, keyboard, focus and message boxes.
#include "window_helpers.h"

#include <QDir>
#include <QFontDatabase>
#include <QWheelEvent>

using namespace expected;
using virurad::Form1;

namespace {

const char *const NoKeyboard = "the window has no keyboard focus: the compositor has no keyboard";

// Every pixel of the board area that shows the window's green.
int greenPixelsOnBoard(const QImage &image)
{
    const int side = int(600 * image.devicePixelRatio());
    int green = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            green += image.pixelColor(x, y) == Green ? 1 : 0;
    return green;
}

// The cell's border, a little inside its interior, and the middle of its chip.
void expectCell(const QImage &image, QRect cell, const QColor &fill, bool chip)
{
    const double midY = cell.top() + cell.height() / 2.0;
    QCOMPARE(colourAt(image, cell.left() + 0.25, midY), Black);
    QCOMPARE(colourAt(image, cell.right() + 0.75, midY), Black);
    QCOMPARE(colourAt(image, cell.left() + 2, midY), fill);
    QCOMPARE(colourAt(image, cell.left() + 2, cell.top() + 2), fill);
    QCOMPARE(colourAt(image, cell.center().x() + 0.5, midY), chip ? ChipBrown : fill);
}

// A key pressed and released where the keyboard focus is.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, key, modifiers);
}

// One event of a touchpad's smooth scrolling where Qt delivers it in the window at `at`: a few
// pixels and a fraction of a wheel notch, which no mouse wheel and no xdotool can make.
void scrollSmoothly(QWidget *window, QPoint at, QPoint pixels, Qt::ScrollPhase phase)
{
    QWidget *under = window->childAt(at);
    QWidget *target = under ? under : window;
    const QPointF local = target->mapFrom(window, QPointF(at));
    QWheelEvent wheel(local, target->mapToGlobal(local), pixels, pixels * 2, Qt::NoButton,
                      Qt::NoModifier, phase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::sendEvent(target, &wheel);
}

// A mouse button pressed at `from` and released at `to` (window coordinates), positions that a
// screen at a scale other than 1 reports between whole layout pixels, which QTest's own mouse
// functions cannot give. They reach the widgets as the platform's events do, through the window.
void pressAndRelease(QWidget *window, Qt::MouseButton button, QPointF from, QPointF to)
{
    QWindow *handle = window->windowHandle();
    for (auto [type, at] :
         {std::pair(QEvent::MouseButtonPress, from), {QEvent::MouseButtonRelease, to}}) {
        const bool down = type == QEvent::MouseButtonPress;
        QTestPrivate::qtestMouseButtons.setFlag(button, down);
        QTest::lastMouseTimestamp += down ? 1 : QTest::mouseDoubleClickInterval;
        qt_handleMouseEvent(handle, at, handle->mapToGlobal(at), QTestPrivate::qtestMouseButtons,
                            button, type, Qt::NoModifier, QTest::lastMouseTimestamp);
    }
    QCoreApplication::processEvents();
}

void expectFont(const QWidget *widget, const QString &family, double points, int weight)
{
    const QFontInfo font = widget->fontInfo();
    QCOMPARE(font.family(), family);
    QCOMPARE(widget->font().pointSizeF(), points);
    QCOMPARE(font.weight(), weight);
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
}

} // namespace

// What is the Qt window's alone. The game as a player plays it, the same in every window (chips,
// marks, releases, the scroll bar, the keys, the boxes), is the play-through's (play_qt.py).
class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startsWithAFullEmptyBoard();
    void sideColumnFollowsTheDesignedTable();
    void darkThemeKeepsTextReadable();
    void chipsAndMarksAsDrawn();
    void cellsTileTheBoardAtEverySize();
    void releasesBetweenPixelsAtTheBoardsEdge();
    void smoothScrollingAndExtraButtonsChangeNothing();
    void sizeKeysStepTheSameOnTheKeypad();
    void enterOnTheKeypadPressesTheFocusedButtonOnce();
    void boxesShowTheirIconAndOneButton();
    // Last: it installs fonts that every later window would use.
    void designedFacesWinWhereInstalled();
};

void WindowTest::startsWithAFullEmptyBoard()
{
    OpenWindow w;
    QCOMPARE(w.window->windowTitle(), "Vir Urad Izuva?");
    QCOMPARE(w.window->size(), QSize(688, 600));

    const QImage image = w.picture();
    QCOMPARE(image.size(), QSize(688, 600) * image.devicePixelRatio());
    // 24-pixel cells; the last one, (24, 24), spans 576..599 and ends on the board's edge.
    for (int x : {0, 7, 24})
        for (int y : {0, 13, 24})
            expectCell(image, cellSquare(x, y, 24), White, false);
    QCOMPARE(greenPixelsOnBoard(image), 0);
    QCOMPARE(colourAt(image, 640, 50), Green);
}

void WindowTest::sideColumnFollowsTheDesignedTable()
{
    OpenWindow w;
    QCOMPARE(w.sizeScroll()->geometry(), QRect(600, 120, 89, 17));
    QCOMPARE(w.sizeLabel()->geometry(), QRect(600, 144, 89, 25));
    QCOMPARE(w.countLabel()->geometry(), QRect(600, 272, 89, 49));
    QCOMPARE(w.checkButton()->geometry(), QRect(600, 448, 89, 33));
    // The designed faces are not installed here, so their stand-ins show.
    expectFont(w.sizeLabel(), "Liberation Sans", 13.5, 700);
    expectFont(w.countLabel(), "Liberation Sans", 13.5, 400);
    expectFont(w.checkButton(), "Liberation Serif", 12, 700);

    // Backgrounds fill each label to its corners, with the window's green just outside.
    const QImage image = w.picture();
    const QColor controlFace = QApplication::palette().color(QPalette::Button);
    for (auto [top, bottom, fill] : {std::tuple(144, 168, White), {272, 320, controlFace}}) {
        for (int x : {600, 687}) {
            QCOMPARE(colourAt(image, x, top), fill);
            QCOMPARE(colourAt(image, x, bottom), fill);
        }
        QCOMPARE(colourAt(image, 640, top - 1), Green);
        QCOMPARE(colourAt(image, 640, bottom + 1.5), Green);
    }
    // The button's face is flat salmon, not a gradient: top and bottom agree.
    for (int y : {452, 464, 477})
        QCOMPARE(colourAt(image, 606, y), Salmon);
    QCOMPARE(colourAt(image, 640, 400), Green);
    QCOMPARE(w.checkButton()->text(), "Check Me!");
    QVERIFY(!w.checkButton()->isDefault() && !w.checkButton()->autoDefault());
}

void WindowTest::darkThemeKeepsTextReadable()
{
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        dark.setColor(role, QColor(40, 40, 40));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    OpenWindow w;
    const QImage image = w.picture();
    QApplication::setPalette(original);

    // The size label stays white with dark digits; the board and button keep their colours.
    int darkInk = 0;
    for (int x = 600; x < 688; ++x)
        darkInk += colourAt(image, x, 156).lightness() < 100 ? 1 : 0;
    QVERIFY2(darkInk > 5, "the size caption is not drawn in a dark colour on white");
    QCOMPARE(colourAt(image, 603, 147), White);
    QCOMPARE(colourAt(image, 606, 464), Salmon);
    expectCell(image, cellSquare(3, 3, 24), White, false);
    QCOMPARE(colourAt(image, 640, 50), Green);
}

void WindowTest::chipsAndMarksAsDrawn()
{
    OpenWindow w;
    w.click(2, 3, Qt::LeftButton);
    w.click(5, 5, Qt::RightButton);
    QImage image = w.picture();
    const QRect cell = cellSquare(2, 3, 24);
    expectCell(image, cell, White, true);
    // A disc 14 pixels across, 5 inside the cell: white within the inset and in the corners
    // of the disc's square, brown just inside its edge.
    const QRect chip(53, 77, 14, 14);
    QCOMPARE(colourAt(image, cell.left() + 4.5, cell.center().y() + 0.5), White);
    QCOMPARE(colourAt(image, chip.left() + 0.5, chip.top() + 0.5), White);
    QCOMPARE(colourAt(image, chip.right() + 0.5, chip.bottom() + 0.5), White);
    QCOMPARE(colourAt(image, chip.left() + 1.5, chip.center().y() + 0.5), ChipBrown);
    QCOMPARE(colourAt(image, chip.center().x() + 0.5, chip.top() + 1.5), ChipBrown);
    QCOMPARE(colourAt(image, chip.right() - 0.5, chip.center().y() + 0.5), ChipBrown);
    expectCell(image, cellSquare(3, 2, 24), White, false);
    // A mark is yellow right up to the cell's border.
    expectCell(image, cellSquare(5, 5, 24), Yellow, false);
    QCOMPARE(colourAt(image, 5 * 24 + 1.5, 5 * 24 + 1.5), Yellow);

    // 25-pixel cells with 15-pixel discs: the last one spans 575..599, its disc 580..594.
    w.setSize(24);
    w.click(23, 23, Qt::LeftButton);
    image = w.picture();
    expectCell(image, cellSquare(23, 23, 25), White, true);
    QCOMPARE(colourAt(image, 579.5, 587.5), White);
    QCOMPARE(colourAt(image, 581.5, 587.5), ChipBrown);
    QCOMPARE(colourAt(image, 593.5, 587.5), ChipBrown);
    QCOMPARE(colourAt(image, 595.5, 587.5), White);

    // At size 3 a cell is 200 pixels and its disc 190, from 205 to 394.
    w.setSize(3);
    w.click(1, 1, Qt::LeftButton);
    image = w.picture();
    QCOMPARE(colourAt(image, 300, 206), ChipBrown);
    QCOMPARE(colourAt(image, 300, 393), ChipBrown);
    QCOMPARE(colourAt(image, 300, 204), White);
    QCOMPARE(colourAt(image, 300, 395.5), White);
    QCOMPARE(colourAt(image, 206, 206), White);
}

void WindowTest::cellsTileTheBoardAtEverySize()
{
    OpenWindow w;
    w.setSize(24);
    QImage image = w.picture();
    expectCell(image, cellSquare(0, 0, 25), White, false);
    expectCell(image, cellSquare(23, 23, 25), White, false);
    QCOMPARE(greenPixelsOnBoard(image), 0);

    // 600 / 7 is no whole number: the cells still cover the board edge to edge.
    w.setSize(7);
    w.click(6, 6, Qt::LeftButton);
    image = w.picture();
    QCOMPARE(greenPixelsOnBoard(image), 0);
    const double side = 600.0 / 7;
    for (int x = 0; x < 7; ++x) {
        const QPoint middle = w.centre(x, 6);
        QCOMPARE(colourAt(image, middle.x(), middle.y()), x == 6 ? ChipBrown : White);
        QCOMPARE(colourAt(image, x * side + 3, 6 * side + 3), White);
    }
    QCOMPARE(colourAt(image, 599.5, 560), Black);
    QCOMPARE(colourAt(image, 560, 599.5), Black);
}

void WindowTest::releasesBetweenPixelsAtTheBoardsEdge()
{
    OpenWindow w;
    Form1 *window = w.window.get();
    // Qt 6.8 at a scale of 1.5 reports the first device pixel past the board as a hair short
    // of 600; it is still off the board, whether the button goes down or comes up there.
    const QPointF justPast(600 - 1e-13, 300);
    pressAndRelease(window, Qt::LeftButton, w.centre(24, 13), justPast);
    pressAndRelease(window, Qt::LeftButton, justPast, w.centre(24, 14));
    // The middle of the board's last device pixel is on the last column.
    const double ratio = window->devicePixelRatioF();
    const QPointF lastPixel((600 * ratio - 0.5) / ratio, 300);
    pressAndRelease(window, Qt::LeftButton, lastPixel, lastPixel);
    QCOMPARE(w.countCaption(), " 1 Chips ");
    const QImage image = w.picture();
    expectCell(image, cellSquare(24, 12, 24), White, true);
    expectCell(image, cellSquare(24, 13, 24), White, false);
    expectCell(image, cellSquare(24, 14, 24), White, false);
}

void WindowTest::smoothScrollingAndExtraButtonsChangeNothing()
{
    OpenWindow w;
    w.setSize(14);
    w.click(3, 3, Qt::LeftButton);
    w.click(4, 4, Qt::RightButton);
    const QImage before = w.picture();
    w.click(5, 5, Qt::BackButton);
    w.click(5, 5, Qt::ForwardButton);
    // A touchpad's strokes, over the scroll bar and over the board, each way and on each axis.
    for (QPoint at : {QPoint(644, 128), w.centre(6, 6)}) {
        for (QPoint pixels : {QPoint(0, 3), QPoint(0, -3), QPoint(3, 0), QPoint(-3, 0)}) {
            scrollSmoothly(w.window.get(), at, {}, Qt::ScrollBegin);
            for (int i = 0; i < 10; ++i)
                scrollSmoothly(w.window.get(), at, pixels, Qt::ScrollUpdate);
            scrollSmoothly(w.window.get(), at, {}, Qt::ScrollEnd);
        }
    }
    QCOMPARE(w.sizeScroll()->value(), 14);
    QCOMPARE(w.sizeCaption(), "14x14");
    QCOMPARE(w.countCaption(), " 1 Chips ");
    QCOMPARE(w.picture(), before);
}

void WindowTest::sizeKeysStepTheSameOnTheKeypad()
{
    OpenWindow w;
    if (!w.hasKeyboardFocus())
        QSKIP(NoKeyboard);
    QScrollBar *scroll = w.sizeScroll();
    QTRY_COMPARE(QApplication::focusWidget(), scroll);
    // Left, Up and PageUp a step down, Right, Down and PageDown a step up, as the game's
    // scroll bar goes in every window; Home and End go to the ends.
    const std::pair<Qt::Key, int> keys[] = {
        {Qt::Key_Right, 25},  {Qt::Key_Left, 24},     {Qt::Key_Up, 23},   {Qt::Key_Down, 24},
        {Qt::Key_PageUp, 23}, {Qt::Key_PageDown, 24}, {Qt::Key_Home, 3},  {Qt::Key_Left, 3},
        {Qt::Key_Up, 3},      {Qt::Key_PageUp, 3},    {Qt::Key_Down, 4},  {Qt::Key_PageDown, 5},
        {Qt::Key_End, 25},    {Qt::Key_Right, 25},    {Qt::Key_Down, 25}, {Qt::Key_PageDown, 25}};
    for (auto modifier : {Qt::NoModifier, Qt::KeypadModifier}) {
        for (auto [key, size] : keys) {
            pressKey(key, modifier);
            QCOMPARE(scroll->value(), size);
            QCOMPARE(w.sizeCaption(), QStringLiteral("%1x%1").arg(size));
        }
    }
}

void WindowTest::enterOnTheKeypadPressesTheFocusedButtonOnce()
{
    OpenWindow w;
    if (!w.hasKeyboardFocus())
        QSKIP(NoKeyboard);
    QTRY_COMPARE(QApplication::focusWidget(), w.sizeScroll());
    // The button is nobody's default: Enter on the scroll bar presses nothing.
    QCOMPARE(readBox([] { pressKey(Qt::Key_Enter, Qt::KeypadModifier); }).title, QString());
    QCOMPARE(w.sizeScroll()->value(), 25);
    pressKey(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.checkButton());
    const BoxSeen box = readBox([] { pressKey(Qt::Key_Enter, Qt::KeypadModifier); });
    QCOMPARE(box.title, "No Line Found!");
    // The desktop gives the window back its activation once the box has gone.
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QCOMPARE(QApplication::focusWidget(), w.checkButton());

    // A held Enter repeats; its repeats must not open the box again each time it closes.
    const BoxSeen repeated = readBox([&w] {
        QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(w.checkButton(), &held);
    });
    QCOMPARE(repeated.title, QString());
}

void WindowTest::boxesShowTheirIconAndOneButton()
{
    OpenWindow w;
    for (int x : {0, 1, 2})
        w.click(x, 0, Qt::LeftButton);
    BoxSeen box = pressCheck(w);
    QCOMPARE(box.title, "Line Found");
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, 1);
    w.click(1, 0, Qt::RightButton);
    box = pressCheck(w);
    QCOMPARE(box.title, "No Line Found!");
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, 1);
}

void WindowTest::designedFacesWinWhereInstalled()
{
    // Look-alikes of the designed faces, made at build time from their stand-ins.
    QList<int> fonts;
    for (const QFileInfo &file : QDir(QStringLiteral(DESIGNED_FACES_DIR)).entryInfoList({"*.ttf"}))
        fonts.append(QFontDatabase::addApplicationFont(file.filePath()));
    QCOMPARE(fonts.size(), 3);
    QVERIFY(!fonts.contains(-1));
    {
        OpenWindow w;
        expectFont(w.sizeLabel(), "MS Sans Serif", 13.5, 700);
        expectFont(w.countLabel(), "MS Sans Serif", 13.5, 400);
        expectFont(w.checkButton(), "Times New Roman", 12, 700);
    }
    for (int font : fonts)
        QFontDatabase::removeApplicationFont(font);
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
