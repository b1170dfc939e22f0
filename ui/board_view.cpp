// Draws cells and chips from the board's own layout, so hit test and picture never disagree.
#include "board_view.h"

#include "chip_board.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

const QColor BorderColour(0, 0, 0);
const QColor ChipColour(192, 64, 0);

QColor toQColor(CellColour c)
{
    return QColor(c.red, c.green, c.blue);
}

QRect toQRect(PixelRect r)
{
    return QRect(r.left, r.top, r.width, r.height);
}

// 0 for a button the game has no number for.
int buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return int(MouseButtonNumber::Left);
    case Qt::RightButton:
        return int(MouseButtonNumber::Right);
    case Qt::MiddleButton:
        return int(MouseButtonNumber::Middle);
    default:
        return 0;
    }
}

// "1 chip", "0 chips", "2 marked cells".
QString countOf(int n, QLatin1String thing)
{
    const QString text = QString::number(n) + QLatin1Char(' ') + thing;
    return n == 1 ? text : text + QLatin1Char('s');
}

} // namespace

BoardView::BoardView(const ChipBoard &board, QWidget *parent) : QWidget(parent), m_board(board)
{
    setFixedSize(BoardPixels, BoardPixels);
    // Every pixel is painted on each update, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Board"));
    describeBoard();
}

void BoardView::updateCell(int k)
{
    update(toQRect(m_board.cellPixelRect(k)));
    describeBoard();
}

void BoardView::updateBoard()
{
    update();
    describeBoard();
}

// The picture cannot be read out, so a screen reader hears the board as one sentence; a mark
// changes no count the window shows, but it does change this.
void BoardView::describeBoard()
{
    setAccessibleDescription(QStringLiteral("%1 board, %2, %3")
                                 .arg(QString::fromStdString(m_board.sizeCaption()),
                                      countOf(m_board.chipCount(), QLatin1String("chip")),
                                      countOf(m_board.markCount(), QLatin1String("marked cell"))));
}

void BoardView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // Only the cells that meet the damaged area: after a click that is a single cell.
    const QRect area = event->rect() & rect();
    const int first = m_board.cellAt(area.left(), area.top());
    const int last = m_board.cellAt(area.right(), area.bottom());
    if (first < 0 || last < 0)
        return;
    for (int x = cellColumn(first); x <= cellColumn(last); ++x)
        for (int y = cellRow(first); y <= cellRow(last); ++y)
            paintCell(painter, CellIndex(x, y));
}

void BoardView::paintCell(QPainter &painter, int k) const
{
    // A one-pixel border inside each cell, as a label's fixed single border is drawn.
    const QRect cell = toQRect(m_board.cellPixelRect(k));
    painter.fillRect(cell, BorderColour);
    painter.fillRect(cell.adjusted(1, 1, -1, -1), toQColor(m_board.colour(k)));
    if (!m_board.hasChip(k))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ChipColour);
    painter.drawEllipse(QRectF(toQRect(m_board.chipPixelRect(k))));
    painter.restore();
}

void BoardView::mouseReleaseEvent(QMouseEvent *event)
{
    // Qt sends the release to the widget that saw the press; the cell is the one under the
    // pointer now, and a release dragged off the board counts for no cell. The position is
    // snapped to the device pixel it stands for: at fractional scales Qt may report the first
    // pixel past the board as 599.99999..., which would otherwise land on the last column.
    const double ratio = devicePixelRatioF();
    const QPointF at = event->position() * ratio;
    const int k = m_board.cellAt(std::round(at.x()) / ratio, std::round(at.y()) / ratio);
    const int button = buttonNumber(event->button());
    if (k >= 0 && button != 0)
        emit squareMouseUp(k, button);
}
