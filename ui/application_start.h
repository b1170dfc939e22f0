// Starts Qt for the game, ending with one plain sentence where no display can be opened.
#pragma once

#include <QApplication>

#include <memory>

namespace virurad {

// Qt aborts, with a core dump, when it cannot start. Where the only cause is that no display
// could be reached, the program says so in one sentence; on any other failure it prints Qt's
// own messages. Either way it then exits with status 1. `argc` must outlive the application.
std::unique_ptr<QApplication> startApplication(int &argc, char **argv);

// Runs the game until its window closes and returns the status to end with. On Wayland the
// program ends here: Qt 6.4's Wayland plugin, taken down with the application, may wait forever
// for its event thread, or free what that thread still reads. The game keeps nothing to save, so
// leaving its teardown to the system loses nothing.
int runApplication(QApplication &app);

} // namespace virurad
