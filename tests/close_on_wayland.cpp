// Starts the game's window, plays on it, and closes it as a player does, letting the game end as
// it ends for a player: one game per run.
//
//   close_on_wayland RUN
//
// The run's number sets what is played and how soon after the last play the window closes, so
// that a series of runs closes it at every point of a frame's round trip to the compositor.
#include "application_start.h"
#include "window_helpers.h"

#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    const int run = argc > 1 ? std::atoi(argv[1]) : 0;
    int qtArgc = 1;
    const auto app = virurad::startApplication(qtArgc, argv);
    virurad::Form1 window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("the window was never shown\n", stderr);
        return 2;
    }
    // Every other run opens Check Me!'s box and closes it with Enter first.
    if (run % 2 == 1) {
        auto *check = window.findChild<QPushButton *>("Test");
        if (readBox([check] { QTest::mouseClick(check, Qt::LeftButton); }).title.isEmpty()) {
            std::fputs("Check Me! opened no box\n", stderr);
            return 2;
        }
    }
    // A chip on the top-left cell of the 25 x 25 board, 24 pixels square: a frame to send.
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(12, 12));
    QTimer::singleShot(run % 17, &window, &QWidget::close);
    return virurad::runApplication(*app);
}
