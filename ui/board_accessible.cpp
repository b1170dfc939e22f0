// Table and cell interfaces for the board, which has one widget and no child widget per cell.
#include "board_accessible.h"

#include "accessible_texts.h"
#include "announcement.h"
#include "board_view.h"
#include "chip_board.h"
#include "device_pixels.h"
#include "qt_design.h"
#include "screen_pixels.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace virurad {

namespace {

// A rectangle of the board's layout pixels where it stands on the screen; the board fills its
// window's top-left corner.
QRect onScreen(const BoardView *view, const PixelRect &inBoard)
{
    return screenRect(view->window(), inBoard);
}

// One cell of the board, known by its index; it asks the board for everything it says.
class BoardCell : public QAccessibleInterface,
                  public QAccessibleTableCellInterface,
                  public QAccessibleActionInterface {
  public:
    BoardCell(BoardView *view, int k) : m_view(view), m_k(k) {}

    // Valid until the table lets go of it at a new game, so that it can still be reported gone
    // after the game shrank beneath it.
    bool isValid() const override { return !m_view.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return m_view ? QAccessible::queryAccessibleInterface(m_view) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && onBoard() ? qText(cellName(board(), m_k)) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    // While a screen reader runs, a cell is a button that the player presses with Space or M,
    // and Orca reads a focused button alone; of a focused table cell it reads the whole row each
    // time the cursor changes rows, 25 cells from the left before the one the player is on.
    QAccessible::Role role() const override
    {
        return m_view && m_view->keyboardPlay() ? QAccessible::Button : QAccessible::Cell;
    }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // The cell's place in the table: its row is the board's row y, its column the column x.
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return cellColumn(m_k); }
    int rowIndex() const override { return cellRow(m_k); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

  private:
    const ChipBoard &board() const { return m_view->board(); }
    bool onBoard() const { return m_view && board().isShown(m_k); }

    QPointer<BoardView> m_view;
    const int m_k;
};

// The board as a table of the cells on it, row by row. Cells are made on demand and kept,
// each under its own id, until a new game changes what the table holds.
class BoardTable : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit BoardTable(BoardView *view) : QAccessibleWidget(view, QAccessible::Table) {}
    ~BoardTable() override { forgetCells(); }

    // On the screen, as its cells are, so that they lie inside it at every scale.
    QRect rect() const override
    {
        return view() && view()->isVisible() ? onScreen(view(), {0, 0, BoardPixels, BoardPixels})
                                             : QRect();
    }
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override { return rowCount() * columnCount(); }
    int indexOfChild(const QAccessibleInterface *child) const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface *> selectedCells() const override { return {}; }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return side(); }
    int rowCount() const override { return side(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override { forgetCells(); }

    // The cell's interface if assistive technology has been given it, else null.
    QAccessibleInterface *knownCell(int k) const;
    // Tells assistive technology that every cell it was given is gone, and lets go of them.
    void retireCells();

  private:
    BoardView *view() const { return static_cast<BoardView *>(widget()); }
    int side() const { return view() ? view()->board().size() : 0; }
    void forgetCells();

    mutable QHash<int, QAccessible::Id> m_cells;
};

QRect BoardCell::rect() const
{
    return onBoard() ? onScreen(m_view, board().cellPixelRect(m_k)) : QRect();
}

QAccessible::State BoardCell::state() const
{
    // Without a screen reader cells take no keyboard focus: the player reaches them through the
    // table, not by Tab. With one, the cursor's cell has the focus while the board has it.
    QAccessible::State state;
    state.invisible = !m_view || !m_view->isVisible();
    state.disabled = !onBoard();
    state.focusable = onBoard() && m_view->keyboardPlay();
    state.focused = onBoard() && m_view->focusCell() == m_k;
    return state;
}

void *BoardCell::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface *>(this);
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

QStringList BoardCell::actionNames() const
{
    QStringList names;
    for (const CellAction &action : CellActions)
        names.append(qText(action.name));
    return names;
}

void BoardCell::doAction(const QString &actionName)
{
    // The window plays it as the release of that button on the cell.
    for (const CellAction &action : CellActions)
        if (onBoard() && actionName == qText(action.name))
            emit m_view->cellAction(m_k, int(action.button));
}

QAccessibleInterface *BoardTable::childAt(int x, int y) const
{
    if (!view())
        return nullptr;
    const WindowPixel pixel = windowPixel(view()->window(), QPoint(x, y));
    const int k = cellAtDevicePixel(view()->board(), pixel.at.x, pixel.at.y, pixel.ratio);
    return k < 0 ? nullptr : cellAt(cellRow(k), cellColumn(k));
}

QAccessibleInterface *BoardTable::focusChild() const
{
    const int k = view() ? view()->focusCell() : Refresh::NoCell;
    return k == Refresh::NoCell ? nullptr : cellAt(cellRow(k), cellColumn(k));
}

QAccessibleInterface *BoardTable::child(int index) const
{
    const int n = side();
    return index < 0 || index >= n * n ? nullptr : cellAt(index / n, index % n);
}

int BoardTable::indexOfChild(const QAccessibleInterface *child) const
{
    auto *cell = const_cast<QAccessibleInterface *>(child)->tableCellInterface();
    if (!cell || !child->isValid() || cell->table() != this)
        return -1;
    return cell->rowIndex() * side() + cell->columnIndex();
}

void *BoardTable::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface *BoardTable::cellAt(int row, int column) const
{
    const int n = side();
    if (row < 0 || row >= n || column < 0 || column >= n)
        return nullptr;
    const int k = CellIndex(column, row);
    if (QAccessibleInterface *known = knownCell(k))
        return known;
    auto *cell = new BoardCell(view(), k);
    m_cells.insert(k, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QAccessibleInterface *BoardTable::knownCell(int k) const
{
    const auto found = m_cells.constFind(k);
    return found == m_cells.cend() ? nullptr : QAccessible::accessibleInterface(*found);
}

void BoardTable::retireCells()
{
    // Sent while each cell still answers for itself, as Qt asks of a cell it reports gone.
    for (QAccessible::Id id : std::as_const(m_cells)) {
        QAccessibleEvent gone(QAccessible::accessibleInterface(id), QAccessible::ObjectDestroyed);
        QAccessible::updateAccessibility(&gone);
    }
    forgetCells();
}

void BoardTable::forgetCells()
{
    for (QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}

BoardTable *tableOf(BoardView *view)
{
    return dynamic_cast<BoardTable *>(QAccessible::queryAccessibleInterface(view));
}

} // namespace

QAccessibleInterface *accessibleBoard(const QString &, QObject *object)
{
    auto *view = qobject_cast<BoardView *>(object);
    return view ? new BoardTable(view) : nullptr;
}

void announceCellChange(BoardView *view, int k)
{
    if (!QAccessible::isActive())
        return;
    BoardTable *table = tableOf(view);
    if (QAccessibleInterface *cell = table ? table->knownCell(k) : nullptr) {
        QAccessibleEvent event(cell, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void announceNewCells(BoardView *view)
{
    if (!QAccessible::isActive())
        return;
    // The cells a screen reader holds are of the last game, or of the other kind: it hears that
    // they are gone, and that the table changed, where Qt passes that on.
    if (BoardTable *table = tableOf(view))
        table->retireCells();
    QAccessibleTableModelChangeEvent event(view, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

void announceCursor(BoardView *view)
{
    if (!QAccessible::isActive())
        return;
    BoardTable *table = tableOf(view);
    if (QAccessibleInterface *cell = table ? table->focusChild() : nullptr) {
        QAccessibleEvent event(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void announceKeyPlay(BoardView *view, int k)
{
    // Orca passes over a new name of the cell it is on, and of the count beside the board.
    announce(view->window(), qText(playAnnouncement(view->board(), k)));
}

} // namespace virurad
