// Hands the board a Qt painter that fills whole device pixels; the board decides what they show.
#include "board_view.h"

#include "accessible_texts.h"
#include "board_accessible.h"
#include "board_painting.h"
#include "device_pixels.h"
#include "game_events.h"
#include "qt_design.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace virurad {

namespace {

// Qt paints a widget in its layout pixels and scales them to the screen; the world transform
// here undoes that scaling, so the board's device pixels land on the screen's pixels one to one
// and its rounding of every edge is the only one.
class QtCanvas final : public Canvas {
  public:
    QtCanvas(QPainter &painter, double ratio) : m_painter(painter)
    {
        m_painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
        m_painter.setPen(Qt::NoPen);
    }

    void fillRect(const PixelRect &r, Rgb colour) override
    {
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.fillRect(toQRect(r), toQColor(colour));
    }

    void fillDisc(const PixelRect &r, Rgb colour) override
    {
        m_painter.setRenderHint(QPainter::Antialiasing, true);
        m_painter.setBrush(toQColor(colour));
        m_painter.drawEllipse(QRectF(toQRect(r)));
    }

  private:
    QPainter &m_painter;
};

// Qt updates and paints in layout pixels, the board in device pixels: each way, the rectangle
// taken is the smallest that covers every pixel of the other, so no changed pixel goes unpainted.
QRect layoutCover(const PixelRect &area, double ratio)
{
    const int left = int(std::floor(area.left / ratio)), top = int(std::floor(area.top / ratio));
    return QRect(left, top, int(std::ceil((area.left + area.width) / ratio)) - left,
                 int(std::ceil((area.top + area.height) / ratio)) - top);
}

PixelRect deviceCover(const QRect &area, double ratio)
{
    const int left = int(std::floor(area.left() * ratio)),
              top = int(std::floor(area.top() * ratio));
    return {left, top, int(std::ceil((area.left() + area.width()) * ratio)) - left,
            int(std::ceil((area.top() + area.height()) * ratio)) - top};
}

// The board's keys as Qt names them: the arrows, Space or Enter for the left button, M for the
// right one, on the main keys or the keypad. With Ctrl, Alt or Meta held they are left to the
// window and the desktop.
BoardKey toBoardKey(const QKeyEvent *event)
{
    if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return BoardKey::None;
    switch (event->key()) {
    case Qt::Key_Left:
        return BoardKey::Left;
    case Qt::Key_Right:
        return BoardKey::Right;
    case Qt::Key_Up:
        return BoardKey::Up;
    case Qt::Key_Down:
        return BoardKey::Down;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return BoardKey::Place;
    case Qt::Key_M:
        return BoardKey::Mark;
    default:
        return BoardKey::None;
    }
}

} // namespace

BoardView::BoardView(const ChipBoard &board, const CellCursor &cursor, QWidget *parent)
    : QWidget(parent), m_board(board), m_cursor(cursor)
{
    // Before the first accessible name is set, which already asks Qt for the board's interface
    // when a screen reader is listening. Qt keeps each factory once, however many views install it.
    QAccessible::installFactory(accessibleBoard);
    setFixedSize(BoardPixels, BoardPixels);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Every pixel is painted on each update, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(qText(BoardName));
    describeBoard();
}

int BoardView::focusCell() const
{
    return hasFocus() ? m_cursor.cell() : Refresh::NoCell;
}

void BoardView::setKeyboardPlay(bool on)
{
    if (on == keyboardPlay())
        return;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    announceNewCells(this);
}

void BoardView::showCells(int k, const PixelRect &area)
{
    update(layoutCover(area, devicePixelRatioF()));
    describeBoard();
    if (k == Refresh::NoCell) {
        announceNewCells(this);
        // The cell that had the focus belonged to the last game.
        if (hasFocus())
            announceCursor(this);
    } else {
        announceCellChange(this, k);
    }
}

void BoardView::showCursorMove(int from)
{
    repaintCell(from);
    repaintCell(m_cursor.cell());
    if (hasFocus())
        announceCursor(this);
}

void BoardView::showKeyPlay()
{
    announceKeyPlay(this, m_cursor.cell());
}

void BoardView::repaintCell(int k)
{
    if (m_board.isShown(k)) {
        const double ratio = devicePixelRatioF();
        update(layoutCover(deviceCellRect(m_board, k, ratio), ratio));
    }
}

void BoardView::keyPressEvent(QKeyEvent *event)
{
    const BoardKey key = toBoardKey(event);
    if (key == BoardKey::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A held arrow keeps moving; a held Space or M plays once, not on and off with each repeat.
    const bool plays = key == BoardKey::Place || key == BoardKey::Mark;
    if (!(plays && event->isAutoRepeat()))
        emit boardKey(key);
    event->accept();
}

void BoardView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    repaintCell(m_cursor.cell());
    // After Qt has told screen readers that the board has the focus, the cell gets it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (hasFocus())
                announceCursor(this);
        },
        Qt::QueuedConnection);
}

void BoardView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    repaintCell(m_cursor.cell());
}

// The picture cannot be read out, so a screen reader hears the board as one sentence.
void BoardView::describeBoard()
{
    setAccessibleDescription(qText(boardDescription(m_board)));
}

void BoardView::paintEvent(QPaintEvent *event)
{
    // Only the cells that meet the damaged area: after a click that is a single cell.
    const double ratio = devicePixelRatioF();
    QPainter painter(this);
    QtCanvas canvas(painter, ratio);
    paintBoard(m_board, ratio, deviceCover(event->rect(), ratio), canvas, focusCell());
}

} // namespace virurad
