// A long seeded stream of random player actions against the real window, checked at every step.
#include "line_check.h"
#include "window_helpers.h"

#include <random>

namespace {

constexpr int Steps = 30000;

// What the player can do in the window, and how often, out of 100.
enum class Action { Left, Right, Middle, SizeKey, SizeMouse, Check };

Action pickAction(std::mt19937 &rng)
{
    const int roll = std::uniform_int_distribution<int>(0, 99)(rng);
    if (roll < 45)
        return Action::Left;
    if (roll < 75)
        return Action::Right;
    if (roll < 85)
        return Action::Middle;
    if (roll < 92)
        return Action::SizeKey;
    if (roll < 99)
        return Action::SizeMouse;
    return Action::Check;
}

// The model's own rules: the count, marks without chips, nothing off the board.
void checkInvariants(const ChipBoard &board)
{
    int chips = 0;
    for (int k = 0; k < CellCount; ++k) {
        chips += board.hasChip(k) ? 1 : 0;
        QVERIFY2(!(board.hasChip(k) && board.colour(k) == CellColour::Yellow), "chip on a mark");
        if (!board.isShown(k))
            QVERIFY2(!board.hasChip(k) && board.colour(k) == CellColour::White, "off the board");
    }
    QCOMPARE(board.chipCount(), chips);
}

// The window's model must equal the one the test kept by applying the same actions.
void checkSameGame(const ChipBoard &shown, const ChipBoard &expected)
{
    QCOMPARE(shown.size(), expected.size());
    QCOMPARE(shown.chipCount(), expected.chipCount());
    for (int k = 0; k < CellCount; ++k)
        QVERIFY(shown.hasChip(k) == expected.hasChip(k) && shown.colour(k) == expected.colour(k));
}

// Some cells as drawn: their colour and whether a chip shows.
void checkPicture(const OpenWindow &w, const ChipBoard &board, std::mt19937 &rng)
{
    const QImage image = w.picture();
    std::uniform_int_distribution<int> side(0, board.size() - 1);
    for (int sample = 0; sample < 12; ++sample) {
        const int k = CellIndex(side(rng), side(rng));
        const PixelRect cell = board.cellPixelRect(k);
        const CellColour c = board.colour(k);
        QCOMPARE(colourAt(image, cell.left + 2, cell.top + 2), QColor(c.red, c.green, c.blue));
        const QColor middle =
            colourAt(image, cell.left + cell.width / 2.0, cell.top + cell.height / 2.0);
        QCOMPARE(middle == ChipBrown, board.hasChip(k));
    }
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

  private slots:
    void randomPlayKeepsWindowAndGameInStep();
};

void SoakTest::randomPlayKeepsWindowAndGameInStep()
{
    OpenWindow w;
    ChipBoard expected;
    std::mt19937 rng(20261208);
    std::uniform_real_distribution<double> pixel(0, BoardPixels);
    const Qt::Key sizeKeys[] = {Qt::Key_Left,     Qt::Key_Right, Qt::Key_PageUp,
                                Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End};
    QScrollBar *scroll = w.sizeScroll();
    int checks = 0;
    for (int step = 0; step < Steps; ++step) {
        const QPoint at(int(pixel(rng)), int(pixel(rng)));
        const int k = expected.cellAt(at.x(), at.y());
        switch (pickAction(rng)) {
        case Action::Left:
            QTest::mouseClick(w.board(), Qt::LeftButton, {}, at);
            expected.pressLeft(k);
            break;
        case Action::Right:
            QTest::mouseClick(w.board(), Qt::RightButton, {}, at);
            expected.pressRight(k);
            break;
        case Action::Middle:
            QTest::mouseClick(w.board(), Qt::MiddleButton, {}, at);
            break;
        case Action::SizeKey:
            QTest::keyClick(scroll, sizeKeys[std::uniform_int_distribution<int>(0, 5)(rng)]);
            break;
        case Action::SizeMouse: {
            // One of the arrow buttons, or the track on either side of the thumb.
            const int x = std::uniform_int_distribution<int>(1, scroll->width() - 2)(rng);
            QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(x, scroll->height() / 2));
            break;
        }
        case Action::Check: {
            const BoxSeen box = pressCheck(w);
            QCOMPARE(box.text, QString::fromStdString(RunCheck(expected).text));
            ++checks;
            break;
        }
        }
        if (scroll->value() != expected.size())
            expected.setSize(scroll->value());

        const ChipBoard &shown = w.window->board();
        checkInvariants(shown);
        checkSameGame(shown, expected);
        QCOMPARE(w.sizeCaption(), QString::fromStdString(shown.sizeCaption()));
        QCOMPARE(w.countCaption(), QString::fromStdString(shown.countCaption()));
        if (step % 50 == 0)
            checkPicture(w, shown, rng);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("went wrong at step %1").arg(step)));
    }
    QVERIFY(checks > 100);
    qInfo("%d random actions, %d checks", Steps, checks);
}

QTEST_MAIN(SoakTest)
#include "soak_test.moc"
