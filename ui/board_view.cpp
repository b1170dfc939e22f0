// Hands the board a Qt painter that fills whole device pixels; the board decides what they show.
#include "board_view.h"

#include "accessible_texts.h"
#include "board_accessible.h"
#include "board_painting.h"
#include "game_events.h"
#include "qt_design.h"

#include <QAccessible>
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

} // namespace

BoardView::BoardView(const ChipBoard &board, QWidget *parent) : QWidget(parent), m_board(board)
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

void BoardView::showCells(int k, const PixelRect &area)
{
    update(layoutCover(area, devicePixelRatioF()));
    describeBoard();
    if (k == Refresh::NoCell)
        announceNewGame(this);
    else
        announceCellChange(this, k);
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
    paintBoard(m_board, ratio, deviceCover(event->rect(), ratio), canvas);
}

} // namespace virurad
