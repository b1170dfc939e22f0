// A long seeded stream of random player actions against the real window, checked at every step.
#include "board_invariants.h"
#include "line_check.h"
#include "window_helpers.h"

#include <random>

using namespace virurad;

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

// The window's model must equal the one the test kept by applying the same actions.
void checkSameGame(const ChipBoard &shown, const ChipBoard &expected)
{
    QCOMPARE(shown.size(), expected.size());
    QCOMPARE(shown.chipCount(), expected.chipCount());
    for (int k = 0; k < CellCount; ++k)
        QVERIFY(shown.hasChip(k) == expected.hasChip(k) && shown.colour(k) == expected.colour(k));
}

// Some cells as drawn: their colour near the top-left corner, and whether a chip shows in the
// middle. Cells are 600 / size pixels square from the board's top left.
void checkPicture(const OpenWindow &w, const ChipBoard &board, std::mt19937 &rng)
{
    const QImage image = w.picture();
    const double side = 600.0 / board.size();
    std::uniform_int_distribution<int> line(0, board.size() - 1);
    for (int sample = 0; sample < 12; ++sample) {
        const int x = line(rng), y = line(rng);
        const CellColour c = board.colour(CellIndex(x, y));
        QCOMPARE(colourAt(image, x * side + 3, y * side + 3), QColor(c.red, c.green, c.blue));
        const QColor middle = colourAt(image, (x + 0.5) * side, (y + 0.5) * side);
        QCOMPARE(middle == expected::ChipBrown, board.hasChip(x, y));
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
    Form1 *window = w.window.get();
    ChipBoard expected;
    std::mt19937 rng(20261208);
    // Somewhere inside a cell, clear of its edges, wherever they are rounded to.
    std::uniform_real_distribution<double> within(0.1, 0.9);
    const Qt::Key sizeKeys[] = {Qt::Key_Left,     Qt::Key_Right, Qt::Key_PageUp,
                                Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End};
    QScrollBar *scroll = w.sizeScroll();
    int checks = 0;
    for (int step = 0; step < Steps; ++step) {
        const double side = 600.0 / expected.size();
        std::uniform_int_distribution<int> line(0, expected.size() - 1);
        const int x = line(rng), y = line(rng);
        const QPoint at = QPointF((x + within(rng)) * side, (y + within(rng)) * side).toPoint();
        switch (pickAction(rng)) {
        case Action::Left:
            QTest::mouseClick(window, Qt::LeftButton, {}, at);
            expected.pressLeft(CellIndex(x, y));
            break;
        case Action::Right:
            QTest::mouseClick(window, Qt::RightButton, {}, at);
            expected.pressRight(CellIndex(x, y));
            break;
        case Action::Middle:
            QTest::mouseClick(window, Qt::MiddleButton, {}, at);
            break;
        case Action::SizeKey:
            QTest::keyClick(scroll, sizeKeys[std::uniform_int_distribution<int>(0, 5)(rng)]);
            break;
        case Action::SizeMouse: {
            // One of the arrow buttons, or the track on either side of the thumb.
            const int along = std::uniform_int_distribution<int>(1, scroll->width() - 2)(rng);
            QTest::mouseClick(window, Qt::LeftButton, {},
                              scroll->geometry().topLeft() + QPoint(along, scroll->height() / 2));
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

        const ChipBoard &shown = w.window->game().board();
        const std::string broken = support::brokenInvariant(shown);
        QVERIFY2(broken.empty(), broken.c_str());
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
