// Hands the game a Qt painter that fills whole device pixels; the game decides what they show.
#include "board_view.h"

#include "device_pixels.h"
#include "game_view.h"
#include "qt_design.h"

#include <QPaintEvent>
#include <QPainter>

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

} // namespace

BoardView::BoardView(const Game &game, QWidget *parent) : QWidget(parent), m_game(game)
{
    setFixedSize(BoardPixels, BoardPixels);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Every pixel is painted on each update, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardView::paintEvent(QPaintEvent *event)
{
    // Only the cells that meet the damaged area: after a click that is a single cell.
    const double ratio = devicePixelRatioF();
    QPainter painter(this);
    QtCanvas canvas(painter, ratio);
    const QRect damaged = event->rect();
    paintGame(m_game, ratio,
              scaledCover({damaged.x(), damaged.y(), damaged.width(), damaged.height()}, ratio),
              canvas);
}

} // namespace virurad
