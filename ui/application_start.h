// Starts Qt for the game, ending with one plain sentence where no display can be opened.
#pragma once

#include <QApplication>

#include <memory>

namespace virurad {

// Qt aborts, with a core dump, when it cannot start. Where the only cause is that no display
// could be reached, the program says so in one sentence; on any other failure it prints Qt's
// own messages. Either way it then exits with status 1. `argc` must outlive the application.
std::unique_ptr<QApplication> startApplication(int &argc, char **argv);

} // namespace virurad
