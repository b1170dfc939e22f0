// Starts the game: one window and the event loop.
#include "application_start.h"
#include "form1.h"

int main(int argc, char *argv[])
{
    // The game takes no command line, not even the toolkit's own options.
    int qtArgc = argc > 0 ? 1 : 0;
    const auto app = virurad::startApplication(qtArgc, argv);
    virurad::Form1 window;
    window.show();
    return virurad::runApplication(*app);
}
