// Opens the game window for a test and reads what it shows: captions, controls and pixels.
#pragma once

#include "board_view.h"
#include "chip_board.h"
#include "form1.h"

#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <memory>

class OpenWindow {
  public:
    OpenWindow() : window(std::make_unique<Form1>())
    {
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    BoardView *board() const { return window->findChild<BoardView *>(); }
    QScrollBar *sizeScroll() const { return window->findChild<QScrollBar *>("SizeScroll"); }
    QString sizeCaption() const { return window->findChild<QLabel *>("SizeOf")->text(); }
    QString countCaption() const { return window->findChild<QLabel *>("Number")->text(); }
    QPushButton *checkButton() const { return window->findChild<QPushButton *>("Test"); }

    // Where cell (x, y) lies at the board size the window shows now.
    QRect cell(int x, int y) const { return toRect(layout().cellPixelRect(CellIndex(x, y))); }
    QRect chip(int x, int y) const { return toRect(layout().chipPixelRect(CellIndex(x, y))); }

    // A mouse button released over the middle of cell (x, y).
    void click(int x, int y, Qt::MouseButton button) const
    {
        QTest::mouseClick(board(), button, {}, cell(x, y).center());
    }

    void setSize(int size) const { sizeScroll()->setValue(size); }

    // The window as it is drawn now, at the screen's device pixel ratio.
    QImage picture() const { return window->grab().toImage(); }

    std::unique_ptr<Form1> window;

  private:
    ChipBoard layout() const
    {
        ChipBoard board;
        board.setSize(sizeScroll()->value());
        return board;
    }
    static QRect toRect(PixelRect r) { return QRect(r.left, r.top, r.width, r.height); }
};

// The colour at a point given in window coordinates, whatever the device pixel ratio.
inline QColor colourAt(const QImage &image, double x, double y)
{
    const double ratio = image.devicePixelRatio();
    return image.pixelColor(int(x * ratio), int(y * ratio));
}

inline const QColor Green(192, 255, 192);
inline const QColor White(255, 255, 255);
inline const QColor Yellow(255, 255, 0);
inline const QColor ChipBrown(192, 64, 0);
inline const QColor Black(0, 0, 0);
inline const QColor Salmon(255, 128, 128);

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

// Presses "Check Me!" and reads the modal box that comes up, then closes it with Enter.
inline BoxSeen pressCheck(const OpenWindow &w)
{
    BoxSeen seen;
    QTimer::singleShot(0, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = {box->windowTitle(), box->text(), box->icon(), int(box->buttons().size())};
        QTest::keyClick(box, Qt::Key_Enter);
    });
    QTest::mouseClick(w.checkButton(), Qt::LeftButton);
    return seen;
}
