// The game window as a player meets it: pixels, mouse, keyboard, focus and message boxes.
#include "window_helpers.h"

namespace {

// Every pixel of the board area that shows the window's green.
int greenPixelsOnBoard(const QImage &image)
{
    const int side = int(BoardPixels * image.devicePixelRatio());
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
void pressKey(Qt::Key key)
{
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, key);
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startsWithAFullEmptyBoard();
    void sideControlsKeepTheirColours();
    void darkThemeKeepsTextReadable();
    void chipsAreDiscsInsetInTheirCells();
    void marksFillTheCellAndRemoveTheChip();
    void otherButtonsChangeNothing();
    void clicksOffTheBoardFindNoCell();
    void sizeChangeClearsAndTilesTheBoard();
    void scrollBarFollowsTheArrowKeys();
    void draggingCountsOnlyOnRelease();
    void tabMovesBetweenScrollBarAndButton();
    void checkReportsALine();
    void checkReportsSuccessAndLeavesTheBoard();
};

void WindowTest::startsWithAFullEmptyBoard()
{
    OpenWindow w;
    QCOMPARE(w.window->windowTitle(), "Vir Urad Izuva?");
    QCOMPARE(w.window->size(), QSize(688, 600));
    QCOMPARE(w.sizeCaption(), "25x25");
    QCOMPARE(w.countCaption(), " 0 Chips ");
    QCOMPARE(w.sizeScroll()->value(), 25);
    QCOMPARE(w.cell(24, 24), QRect(576, 576, 24, 24));

    const QImage image = w.picture();
    QCOMPARE(image.size(), QSize(688, 600) * image.devicePixelRatio());
    for (int x : {0, 7, 24})
        for (int y : {0, 13, 24})
            expectCell(image, w.cell(x, y), White, false);
    QCOMPARE(greenPixelsOnBoard(image), 0);
    QCOMPARE(colourAt(image, 640, 50), Green);
}

void WindowTest::sideControlsKeepTheirColours()
{
    OpenWindow w;
    const QImage image = w.picture();
    QCOMPARE(colourAt(image, 603, 147), White);  // the size label's background
    QCOMPARE(colourAt(image, 606, 464), Salmon); // flat, not a gradient: top and bottom agree
    QCOMPARE(colourAt(image, 606, 452), Salmon);
    QCOMPARE(colourAt(image, 606, 477), Salmon);
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
    expectCell(image, w.cell(3, 3), White, false);
    QCOMPARE(colourAt(image, 640, 50), Green);
}

void WindowTest::chipsAreDiscsInsetInTheirCells()
{
    OpenWindow w;
    w.click(2, 3, Qt::LeftButton);
    QCOMPARE(w.countCaption(), " 1 Chips ");
    QImage image = w.picture();
    expectCell(image, w.cell(2, 3), White, true);
    const QRect chip = w.chip(2, 3);
    QCOMPARE(chip.size(), QSize(14, 14));
    // White within the five-pixel inset and in the corners of the chip's square: a disc.
    const QRect cell = w.cell(2, 3);
    QCOMPARE(colourAt(image, cell.left() + 4.5, cell.center().y() + 0.5), White);
    QCOMPARE(colourAt(image, chip.left() + 0.5, chip.top() + 0.5), White);
    QCOMPARE(colourAt(image, chip.right() + 0.5, chip.bottom() + 0.5), White);
    QCOMPARE(colourAt(image, chip.left() + 1.5, chip.center().y() + 0.5), ChipBrown);
    QCOMPARE(colourAt(image, chip.center().x() + 0.5, chip.top() + 1.5), ChipBrown);
    expectCell(image, w.cell(3, 2), White, false);

    w.click(2, 3, Qt::LeftButton);
    QCOMPARE(w.countCaption(), " 0 Chips ");
    expectCell(w.picture(), w.cell(2, 3), White, false);

    w.setSize(3);
    w.click(1, 1, Qt::LeftButton);
    QCOMPARE(w.chip(1, 1), QRect(205, 205, 190, 190));
    image = w.picture();
    QCOMPARE(colourAt(image, 300, 206), ChipBrown);
    QCOMPARE(colourAt(image, 300, 204), White);
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
    expectCell(image, w.cell(5, 5), Yellow, false);
    expectCell(image, w.cell(7, 5), Yellow, false);
    QCOMPARE(colourAt(image, w.cell(5, 5).left() + 1.5, w.cell(5, 5).top() + 1.5), Yellow);

    w.click(5, 5, Qt::RightButton); // the mark goes, the chip does not come back
    w.click(7, 5, Qt::LeftButton);  // a chip on a mark clears the mark
    QCOMPARE(w.countCaption(), " 2 Chips ");
    image = w.picture();
    expectCell(image, w.cell(5, 5), White, false);
    expectCell(image, w.cell(7, 5), White, true);
}

void WindowTest::otherButtonsChangeNothing()
{
    OpenWindow w;
    w.click(4, 4, Qt::MiddleButton);
    w.click(4, 4, Qt::BackButton);
    QCOMPARE(w.countCaption(), " 0 Chips ");
    expectCell(w.picture(), w.cell(4, 4), White, false);
}

void WindowTest::clicksOffTheBoardFindNoCell()
{
    OpenWindow w;
    w.setSize(7);
    // Pressed on the last cell of a row, released past the board's edge: nothing happens.
    QTest::mousePress(w.board(), Qt::LeftButton, {}, w.cell(6, 0).center());
    QTest::mouseRelease(w.board(), Qt::LeftButton, {}, QPoint(650, w.cell(6, 0).center().y()));
    QTest::mouseClick(w.board(), Qt::LeftButton, {}, QPoint(599, 599));
    QCOMPARE(w.countCaption(), " 1 Chips ");
    expectCell(w.picture(), w.cell(6, 6), White, true);
    expectCell(w.picture(), w.cell(0, 1), White, false);
}

void WindowTest::sizeChangeClearsAndTilesTheBoard()
{
    OpenWindow w;
    w.click(0, 0, Qt::LeftButton);
    w.click(1, 0, Qt::RightButton);
    w.setSize(24);
    QCOMPARE(w.sizeCaption(), "24x24");
    QCOMPARE(w.countCaption(), " 0 Chips ");
    QCOMPARE(w.cell(23, 23), QRect(575, 575, 25, 25));
    QCOMPARE(w.chip(23, 23).size(), QSize(15, 15));
    QImage image = w.picture();
    expectCell(image, w.cell(0, 0), White, false);
    expectCell(image, w.cell(1, 0), White, false);
    QCOMPARE(greenPixelsOnBoard(image), 0);

    // 600 / 7 is no whole number: the cells still meet edge to edge.
    w.setSize(7);
    QCOMPARE(w.sizeCaption(), "7x7");
    w.click(6, 6, Qt::LeftButton);
    image = w.picture();
    QCOMPARE(greenPixelsOnBoard(image), 0);
    for (int x = 0; x < 7; ++x)
        expectCell(image, w.cell(x, 6), White, x == 6);
    QCOMPARE(w.cell(6, 6).right(), 599);
}

void WindowTest::scrollBarFollowsTheArrowKeys()
{
    OpenWindow w;
    QScrollBar *scroll = w.sizeScroll();
    QTRY_COMPARE(QApplication::focusWidget(), scroll);
    pressKey(Qt::Key_Right);
    QCOMPARE(scroll->value(), 25);
    pressKey(Qt::Key_Left);
    QCOMPARE(scroll->value(), 24);
    QCOMPARE(w.sizeCaption(), "24x24");
    pressKey(Qt::Key_Right);
    QCOMPARE(w.sizeCaption(), "25x25");
    for (int i = 0; i < 30; ++i)
        pressKey(Qt::Key_Left);
    QCOMPARE(scroll->value(), 3);
    QCOMPARE(w.sizeCaption(), "3x3");
    pressKey(Qt::Key_PageUp);
    QCOMPARE(scroll->value() == 4 || scroll->value() == 3, true);
    // The right arrow button grows the board, as the Right key does.
    QTest::mouseClick(scroll, Qt::LeftButton, {},
                      QPoint(scroll->width() - 4, scroll->height() / 2));
    QVERIFY(scroll->value() > 3);
}

void WindowTest::draggingCountsOnlyOnRelease()
{
    OpenWindow w;
    w.click(0, 0, Qt::LeftButton);
    QScrollBar *scroll = w.sizeScroll();
    scroll->setSliderDown(true);
    scroll->setSliderPosition(12);
    scroll->setSliderPosition(10);
    QCOMPARE(w.sizeCaption(), "25x25");
    QCOMPARE(w.countCaption(), " 1 Chips ");
    scroll->setSliderDown(false);
    QCOMPARE(w.sizeCaption(), "10x10");
    QCOMPARE(w.countCaption(), " 0 Chips ");
}

void WindowTest::tabMovesBetweenScrollBarAndButton()
{
    OpenWindow w;
    QTRY_COMPARE(QApplication::focusWidget(), w.sizeScroll());
    pressKey(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.checkButton());
    pressKey(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.sizeScroll());
    pressKey(Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), w.checkButton());
}

void WindowTest::checkReportsALine()
{
    OpenWindow w;
    for (int x : {0, 1, 2})
        w.click(x, 0, Qt::LeftButton);
    for (int round = 0; round < 2; ++round) {
        const BoxSeen box = pressCheck(w);
        QCOMPARE(box.title, "Line Found");
        QCOMPARE(box.text, "There is a line of 3 chips. Try again!");
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, 1);
    }
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(w.countCaption(), " 3 Chips ");
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
    QCOMPARE(w.countCaption(), " 3 Chips ");
    QCOMPARE(w.picture().copy(0, 0, 600, 600), before.copy(0, 0, 600, 600));
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
