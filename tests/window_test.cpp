// The game window as a player meets it: pixels, mouse, keyboard, focus and message boxes.
#include "window_helpers.h"

#include <QDir>
#include <QFontDatabase>
#include <QStyleOptionSlider>
#include <QWheelEvent>

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

// Where a part of the scroll bar (an arrow, the track beside the thumb, the thumb) is drawn,
// in window coordinates, as the bar's style lays it out.
QPoint scrollBarPart(const QScrollBar *bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.state |= QStyle::State_Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    const QRect rect = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
    return bar->mapTo(bar->window(), rect.center());
}

// One turn of the mouse wheel over the middle of `widget`, in either direction and axis.
void turnWheel(QWidget *widget, QPoint angle)
{
    const QPointF at = QRectF(widget->rect()).center();
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::sendEvent(widget, &wheel);
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

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startsWithAFullEmptyBoard();
    void sideColumnFollowsTheDesignedTable();
    void darkThemeKeepsTextReadable();
    void chipsAreDiscsInsetInTheirCells();
    void marksFillTheCellAndRemoveTheChip();
    void releaseCountsOnTheCellUnderThePointer();
    void wheelAndOtherButtonsChangeNothing();
    void sizeChangeClearsAndTilesTheBoard();
    void sizeKeysMoveOneStepAtATime();
    void scrollBarClicksMoveOneStepAtATime();
    void draggingCountsOnlyOnRelease();
    void tabMovesBetweenScrollBarAndButton();
    void enterPressesTheFocusedCheckButton();
    void checkReportsALineAndBlocksTheBoard();
    void checkReportsSuccessAndLeavesTheBoard();
    // Last: it installs fonts that every later window would use.
    void designedFacesWinWhereInstalled();
};

void WindowTest::startsWithAFullEmptyBoard()
{
    OpenWindow w;
    QCOMPARE(w.window->windowTitle(), "Vir Urad Izuva?");
    QCOMPARE(w.window->size(), QSize(688, 600));
    QCOMPARE(w.sizeCaption(), "25x25");
    QCOMPARE(w.countCaption(), " 0 Chips ");
    QCOMPARE(w.sizeScroll()->value(), 25);

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

void WindowTest::chipsAreDiscsInsetInTheirCells()
{
    OpenWindow w;
    w.click(2, 3, Qt::LeftButton);
    QCOMPARE(w.countCaption(), " 1 Chips ");
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

    w.click(2, 3, Qt::LeftButton);
    QCOMPARE(w.countCaption(), " 0 Chips ");
    expectCell(w.picture(), cell, White, false);

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

void WindowTest::marksFillTheCellAndRemoveTheChip()
{
    OpenWindow w;
    w.click(5, 5, Qt::LeftButton);
    w.click(6, 5, Qt::LeftButton);
    QCOMPARE(w.countCaption(), " 2 Chips ");
    w.click(5, 5, Qt::RightButton);
    QCOMPARE(w.countCaption(), " 1 Chips ");
    w.click(7, 5, Qt::RightButton);
    QCOMPARE(w.countCaption(), " 1 Chips ");
    QImage image = w.picture();
    expectCell(image, cellSquare(5, 5, 24), Yellow, false);
    expectCell(image, cellSquare(7, 5, 24), Yellow, false);
    QCOMPARE(colourAt(image, 5 * 24 + 1.5, 5 * 24 + 1.5), Yellow); // right up to the border

    w.click(5, 5, Qt::RightButton); // the mark goes, the chip does not come back
    w.click(7, 5, Qt::LeftButton);  // a chip on a mark clears the mark
    QCOMPARE(w.countCaption(), " 2 Chips ");
    image = w.picture();
    expectCell(image, cellSquare(5, 5, 24), White, false);
    expectCell(image, cellSquare(7, 5, 24), White, true);
}

void WindowTest::releaseCountsOnTheCellUnderThePointer()
{
    OpenWindow w;
    Form1 *window = w.window.get();
    // Pressed on one cell and let go on another: the cell under the release counts.
    for (auto button : {Qt::LeftButton, Qt::RightButton}) {
        const int row = button == Qt::LeftButton ? 2 : 6;
        QTest::mousePress(window, button, {}, w.centre(2, row));
        QTest::mouseMove(window, w.centre(3, row));
        QTest::mouseMove(window, w.centre(5, row + 1));
        QTest::mouseRelease(window, button, {}, w.centre(5, row + 1));
    }
    QCOMPARE(w.countCaption(), " 1 Chips ");
    QImage image = w.picture();
    expectCell(image, cellSquare(2, 2, 24), White, false);
    expectCell(image, cellSquare(5, 3, 24), White, true);
    expectCell(image, cellSquare(2, 6, 24), White, false);
    expectCell(image, cellSquare(5, 7, 24), Yellow, false);

    // Let go past the board's right edge, over the side column: nothing.
    w.setSize(7);
    for (QPoint release : {QPoint(600, 40), QPoint(687, 40), QPoint(650, 300)}) {
        QTest::mousePress(window, Qt::LeftButton, {}, w.centre(6, 0));
        QTest::mouseMove(window, release);
        QTest::mouseRelease(window, Qt::LeftButton, {}, release);
    }
    // Qt 6.8 at a scale of 1.5 reports the first device pixel past the board a hair short of
    // 600; it is still off the board.
    QMouseEvent justPast(QEvent::MouseButtonRelease, QPointF(600 - 1e-13, 40), QPointF(),
                         Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.boardView(), &justPast);
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(599, 599));
    QCOMPARE(w.countCaption(), " 1 Chips ");
    image = w.picture();
    QCOMPARE(colourAt(image, w.centre(6, 6).x(), w.centre(6, 6).y()), ChipBrown);
    QCOMPARE(colourAt(image, w.centre(6, 0).x(), w.centre(6, 0).y()), White);
    QCOMPARE(colourAt(image, w.centre(0, 1).x(), w.centre(0, 1).y()), White);
}

void WindowTest::wheelAndOtherButtonsChangeNothing()
{
    OpenWindow w;
    w.setSize(14);
    w.click(3, 3, Qt::LeftButton);
    w.click(4, 4, Qt::RightButton);
    const QImage before = w.picture();
    w.click(5, 5, Qt::MiddleButton);
    w.click(5, 5, Qt::BackButton);
    // A stray wheel turn, over the scroll bar or the board, must not start a new game.
    for (QWidget *under : std::initializer_list<QWidget *>{w.sizeScroll(), w.boardView()})
        for (QPoint angle : {QPoint(0, 120), QPoint(0, -120), QPoint(120, 0), QPoint(-120, 0)})
            turnWheel(under, angle);
    QCOMPARE(w.sizeScroll()->value(), 14);
    QCOMPARE(w.sizeCaption(), "14x14");
    QCOMPARE(w.countCaption(), " 1 Chips ");
    QCOMPARE(w.picture(), before);
}

void WindowTest::sizeChangeClearsAndTilesTheBoard()
{
    OpenWindow w;
    w.click(0, 0, Qt::LeftButton);
    w.click(1, 0, Qt::RightButton);
    w.setSize(24);
    QCOMPARE(w.sizeCaption(), "24x24");
    QCOMPARE(w.countCaption(), " 0 Chips ");
    QImage image = w.picture();
    expectCell(image, cellSquare(0, 0, 25), White, false);
    expectCell(image, cellSquare(1, 0, 25), White, false);
    QCOMPARE(greenPixelsOnBoard(image), 0);

    // 25-pixel cells with 15-pixel discs: the last one spans 575..599, its disc 580..594.
    w.click(23, 23, Qt::LeftButton);
    image = w.picture();
    expectCell(image, cellSquare(23, 23, 25), White, true);
    QCOMPARE(colourAt(image, 579.5, 587.5), White);
    QCOMPARE(colourAt(image, 581.5, 587.5), ChipBrown);
    QCOMPARE(colourAt(image, 593.5, 587.5), ChipBrown);
    QCOMPARE(colourAt(image, 595.5, 587.5), White);

    // 600 / 7 is no whole number: the cells still cover the board edge to edge.
    w.setSize(7);
    QCOMPARE(w.sizeCaption(), "7x7");
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

void WindowTest::sizeKeysMoveOneStepAtATime()
{
    OpenWindow w;
    if (!w.hasKeyboardFocus())
        QSKIP(NoKeyboard);
    QScrollBar *scroll = w.sizeScroll();
    QTRY_COMPARE(QApplication::focusWidget(), scroll);
    // Right and PageUp grow the board, as the right arrow does; Home and End go to the ends.
    const std::pair<Qt::Key, int> keys[] = {
        {Qt::Key_Right, 25},    {Qt::Key_Left, 24},   {Qt::Key_Right, 25}, {Qt::Key_PageDown, 24},
        {Qt::Key_PageDown, 23}, {Qt::Key_PageUp, 24}, {Qt::Key_Home, 3},   {Qt::Key_Left, 3},
        {Qt::Key_PageDown, 3},  {Qt::Key_PageUp, 4},  {Qt::Key_End, 25},   {Qt::Key_PageUp, 25}};
    for (auto [key, size] : keys) {
        pressKey(key);
        QCOMPARE(scroll->value(), size);
        QCOMPARE(w.sizeCaption(), QStringLiteral("%1x%1").arg(size));
    }
}

void WindowTest::scrollBarClicksMoveOneStepAtATime()
{
    OpenWindow w;
    QScrollBar *scroll = w.sizeScroll();
    // One step for an arrow and for the track on either side of the thumb.
    w.setSize(14);
    const std::pair<QStyle::SubControl, int> parts[] = {{QStyle::SC_ScrollBarSubLine, 13},
                                                        {QStyle::SC_ScrollBarAddLine, 14},
                                                        {QStyle::SC_ScrollBarSubPage, 13},
                                                        {QStyle::SC_ScrollBarAddPage, 14}};
    for (auto [part, size] : parts) {
        QTest::mouseClick(w.window.get(), Qt::LeftButton, {}, scrollBarPart(scroll, part));
        QCOMPARE(scroll->value(), size);
        QCOMPARE(w.sizeCaption(), QStringLiteral("%1x%1").arg(size));
    }
}

void WindowTest::draggingCountsOnlyOnRelease()
{
    OpenWindow w;
    Form1 *window = w.window.get();
    w.click(0, 0, Qt::LeftButton);
    QScrollBar *scroll = w.sizeScroll();
    const QPoint thumb = scrollBarPart(scroll, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(window, Qt::LeftButton, {}, thumb);
    for (int dx : {10, 20, 30})
        QTest::mouseMove(window, thumb - QPoint(dx, 0));
    QVERIFY(scroll->sliderPosition() < 25);
    QCOMPARE(w.sizeCaption(), "25x25");
    QCOMPARE(w.countCaption(), " 1 Chips ");
    QTest::mouseRelease(window, Qt::LeftButton, {}, thumb - QPoint(30, 0));
    const int size = scroll->value();
    QVERIFY(size < 25);
    QCOMPARE(w.sizeCaption(), QStringLiteral("%1x%1").arg(size));
    QCOMPARE(w.countCaption(), " 0 Chips ");
}

void WindowTest::tabMovesBetweenScrollBarAndButton()
{
    OpenWindow w;
    if (!w.hasKeyboardFocus())
        QSKIP(NoKeyboard);
    QTRY_COMPARE(QApplication::focusWidget(), w.sizeScroll());
    pressKey(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.checkButton());
    pressKey(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.sizeScroll());
    pressKey(Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), w.checkButton());
}

void WindowTest::enterPressesTheFocusedCheckButton()
{
    OpenWindow w;
    if (!w.hasKeyboardFocus())
        QSKIP(NoKeyboard);
    const std::pair<Qt::Key, Qt::KeyboardModifier> enterKeys[] = {
        {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}};
    QTRY_COMPARE(QApplication::focusWidget(), w.sizeScroll());
    // The button is nobody's default: Enter on the scroll bar presses nothing.
    for (auto [key, modifier] : enterKeys) {
        QCOMPARE(readBox([&] { pressKey(key, modifier); }).title, QString());
        QCOMPARE(w.sizeScroll()->value(), 25);
    }
    pressKey(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.checkButton());
    for (auto [key, modifier] : enterKeys) {
        const BoxSeen box = readBox([&] { pressKey(key, modifier); });
        QCOMPARE(box.title, "No Line Found!");
        QCOMPARE(box.text, "There is no line! Your result of 0 chips is a success!");
        // The desktop gives the window back its activation once the box has gone.
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        QCOMPARE(QApplication::focusWidget(), w.checkButton());
    }
}

void WindowTest::checkReportsALineAndBlocksTheBoard()
{
    OpenWindow w;
    for (int x : {0, 1, 2})
        w.click(x, 0, Qt::LeftButton);
    for (int round = 0; round < 2; ++round) {
        // While the box is open the board takes no clicks.
        const BoxSeen box = pressCheck(w, [&w] {
            w.click(10, 10, Qt::LeftButton);
            w.click(0, 0, Qt::RightButton);
        });
        QCOMPARE(box.title, "Line Found");
        QCOMPARE(box.text, "There is a line of 3 chips. Try again!");
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, 1);
    }
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(w.countCaption(), " 3 Chips ");
    const QImage image = w.picture();
    expectCell(image, cellSquare(0, 0, 24), White, true);
    expectCell(image, cellSquare(10, 10, 24), White, false);
}

void WindowTest::checkReportsSuccessAndLeavesTheBoard()
{
    OpenWindow w;
    w.click(0, 0, Qt::LeftButton);
    w.click(1, 0, Qt::LeftButton);
    w.click(3, 0, Qt::LeftButton);
    w.click(2, 0, Qt::RightButton);
    const QImage before = w.picture();
    const BoxSeen box = pressCheck(w);
    QCOMPARE(box.title, "No Line Found!");
    QCOMPARE(box.text, "There is no line! Your result of 3 chips is a success!");
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, 1);
    QCOMPARE(w.countCaption(), " 3 Chips ");
    QCOMPARE(w.picture().copy(0, 0, 600, 600), before.copy(0, 0, 600, 600));
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
