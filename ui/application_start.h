// Starts Qt for the game, ending with one plain sentence where no display can be opened.
#pragma once

#include <QApplication>

#include <memory>

// Qt aborts, with a core dump, when no platform plugin can reach a display; here the program
// says so in a sentence and exits with status 1 instead. `argc` must outlive the application.
std::unique_ptr<QApplication> startApplication(int &argc, char **argv);
