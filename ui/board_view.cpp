// Draws cells and chips from the board's own layout, so hit test and picture never disagree.
#include "board_view.h"

#include "accessible_texts.h"
#include "board_accessible.h"
#include "game_events.h"
#include "qt_design.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

// 0 for a button the game has no number for.
int buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return int(MouseButton::Left);
    case Qt::RightButton:
        return int(MouseButton::Right);
    case Qt::MiddleButton:
        return int(MouseButton::Middle);
    default:
        return 0;
    }
}

} // namespace

BoardView::BoardView(const ChipBoard &board, QWidget *parent) : QWidget(parent), m_board(board)
{
    // Before the first accessible name is set, which already asks Qt for the board's interface
    // when a screen reader is listening. Qt keeps each factory once, however many views install it.
    QAccessible::installFactory(accessibleBoard);
    setFixedSize(BoardPixels, BoardPixels);
    // Every pixel is painted on each update, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(qText(BoardName));
    describeBoard();
}

void BoardView::updateCell(int k)
{
    update(toQRect(m_board.cellPixelRect(k)));
    describeBoard();
    announceCellChange(this, k);
}

void BoardView::updateBoard()
{
    update();
    describeBoard();
    announceNewGame(this);
}

// The picture cannot be read out, so a screen reader hears the board as one sentence.
void BoardView::describeBoard()
{
    setAccessibleDescription(qText(boardDescription(m_board)));
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
    painter.fillRect(cell, toQColor(CellBorder));
    painter.fillRect(cell.adjusted(1, 1, -1, -1), toQColor(m_board.colour(k)));
    if (!m_board.hasChip(k))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(toQColor(ChipBrown));
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
