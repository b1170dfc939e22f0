// Opens the game window for a test and reads what it shows: captions, controls and pixels.
#pragma once

#include "form1.h"

#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

class OpenWindow {
  public:
    OpenWindow() : window(std::make_unique<virurad::Form1>())
    {
        window->show();
        // Wayland lets no client activate its own window; the compositor decides.
        if (QGuiApplication::platformName() == QLatin1String("wayland")) {
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        } else {
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
        }
    }

    // Closed as a player closes it, which on Wayland waits for the compositor to answer its last
    // frame.
    ~OpenWindow() { window->close(); }

    // Whether keys reach the window: a headless compositor has no keyboard to give it.
    bool hasKeyboardFocus() const { return window->isActiveWindow(); }

    QScrollBar *sizeScroll() const { return window->findChild<QScrollBar *>("SizeScroll"); }
    QLabel *sizeLabel() const { return window->findChild<QLabel *>("SizeOf"); }
    QLabel *countLabel() const { return window->findChild<QLabel *>("Number"); }
    QPushButton *checkButton() const { return window->findChild<QPushButton *>("Test"); }
    QString sizeCaption() const { return sizeLabel()->text(); }
    QString countCaption() const { return countLabel()->text(); }

    // The middle of cell (x, y) at the size the scroll bar shows: the board is 600 pixels
    // square at the window's top left, divided into cells of equal side.
    QPoint centre(int x, int y) const
    {
        const double side = 600.0 / sizeScroll()->value();
        return QPointF((x + 0.5) * side, (y + 0.5) * side).toPoint();
    }

    // A mouse button pressed and released over the middle of cell (x, y).
    void click(int x, int y, Qt::MouseButton button) const
    {
        QTest::mouseClick(window.get(), button, {}, centre(x, y));
    }

    void setSize(int size) const { sizeScroll()->setValue(size); }

    // The window as it is drawn now, at the screen's device pixel ratio.
    QImage picture() const { return window->grab().toImage(); }

    std::unique_ptr<virurad::Form1> window;
};

// Cell (x, y) on a board whose cells are `side` pixels square.
inline QRect cellSquare(int x, int y, int side)
{
    return QRect(x * side, y * side, side, side);
}

// The colour at a point given in window coordinates, whatever the device pixel ratio.
inline QColor colourAt(const QImage &image, double x, double y)
{
    const double ratio = image.devicePixelRatio();
    return image.pixelColor(int(x * ratio), int(y * ratio));
}

// The colours a player sees, written out here rather than taken from the game's own design.
namespace expected {
inline const QColor Green(192, 255, 192);
inline const QColor White(255, 255, 255);
inline const QColor Yellow(255, 255, 0);
inline const QColor ChipBrown(192, 64, 0);
inline const QColor Black(0, 0, 0);
inline const QColor Salmon(255, 128, 128);
} // namespace expected

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

// Does `action`, reads the modal box it brings up, does `whileOpen` with the box still open,
// then closes the box with Enter. A default BoxSeen means no box came up.
inline BoxSeen readBox(const std::function<void()> &action,
                       const std::function<void()> &whileOpen = {})
{
    BoxSeen seen;
    // Owned here, so that it never fires after this function has returned.
    QTimer reader;
    reader.setSingleShot(true);
    QObject::connect(&reader, &QTimer::timeout, [&seen, &whileOpen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = {box->windowTitle(), box->text(), box->icon(), int(box->buttons().size())};
        if (whileOpen)
            whileOpen();
        // Closed whether or not it came up on the screen, so that the test goes on either way.
        [[maybe_unused]] const bool shown = QTest::qWaitForWindowExposed(box);
        QTest::keyClick(box, Qt::Key_Enter);
    });
    reader.start(0);
    action();
    QCoreApplication::processEvents();
    return seen;
}

// Presses "Check Me!" with the mouse and reads the box that comes up.
inline BoxSeen pressCheck(const OpenWindow &w, const std::function<void()> &whileOpen = {})
{
    return readBox(
        [&w] {
            QTest::mouseClick(w.window.get(), Qt::LeftButton, {},
                              w.checkButton()->geometry().center());
        },
        whileOpen);
}
