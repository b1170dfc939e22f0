// The start-up floor for the game: a bare window of the game's size and nothing in it.
#include "window_design.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    // Same as the game: Qt gets no options, so both programs start Qt the same way.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty Window"));
    window.setFixedSize(virurad::WindowWidth, virurad::WindowHeight);
    window.show();
    return app.exec();
}
