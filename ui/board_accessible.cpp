// Table and cell interfaces for the board, which has one widget and no child widget per cell.
#include "board_view.h"
#include "form1.h"
#include "window_accessible.h"

#include <QHash>
#include <QLibraryInfo>
#include <QVersionNumber>

#include <utility>

namespace virurad {

namespace {

// One cell of the board, known by its index; it asks the game for everything it says. Valid
// until the table lets go of it at a new game, so that it can still be reported gone after the
// game shrank beneath it.
class BoardCell : public WidgetlessPart,
                  public QAccessibleTableCellInterface,
                  public QAccessibleActionInterface {
  public:
    BoardCell(QWidget *view, int k) : WidgetlessPart(view), m_k(k) {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && onBoard() ? qText(cellName(board(), m_k)) : QString();
    }
    QRect rect() const override;
    QAccessible::Role role() const override { return qtRole(CellRole); }
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
    Form1 *form() const { return static_cast<Form1 *>(m_owner->window()); }
    const Game &game() const { return form()->game(); }
    const ChipBoard &board() const { return game().board(); }
    bool onBoard() const { return m_owner && board().isShown(m_k); }

    const int m_k;
};

// The board as a table of the cells on it, row by row. Cells are made on demand and kept,
// each under its own id, until a new game changes what the table holds.
class BoardTable : public WindowPart, public QAccessibleTableInterface {
  public:
    explicit BoardTable(BoardView *view) : WindowPart(view, Control::Board) {}
    ~BoardTable() override { forgetCells(); }

    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override
    {
        return isValid() ? cell(game().focusedCell()) : nullptr;
    }
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

    // Cell k's interface, made if assistive technology has not been given it yet; null for a
    // cell off the board.
    QAccessibleInterface *cell(int k) const;
    // The cell's interface if assistive technology has been given it, else null.
    QAccessibleInterface *knownCell(int k) const;
    // Tells assistive technology that cell k has the focus, or with NoCell that no cell has,
    // and the cell told last that it has lost it.
    void tellFocus(int k);

  private:
    int side() const { return isValid() ? game().board().size() : 0; }
    void forgetCells();

    mutable QHash<int, QAccessible::Id> m_cells;
    int m_focused = Refresh::NoCell; // the cell last told that it has the focus
};

QRect BoardCell::rect() const
{
    return onBoard() ? screenRect(m_owner->window(), board().cellPixelRect(m_k)) : QRect();
}

QAccessible::State BoardCell::state() const
{
    // The cells take the keyboard only while the board does; the cursor's cell has it then.
    QAccessible::State state;
    state.invisible = !m_owner || !m_owner->isVisible();
    state.disabled = !onBoard();
    state.focusable = onBoard() && game().boardTakesFocus();
    state.focused = onBoard() && game().focusedCell() == m_k;
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
    // A screen reader puts its focus on a cell through this action.
    if (onBoard() && game().boardTakesFocus())
        names.append(setFocusAction());
    return names;
}

void BoardCell::doAction(const QString &actionName)
{
    if (!onBoard())
        return;
    if (actionName == setFocusAction())
        form()->handle([this](Game &g) { return g.focusCell(m_k); });
    for (const CellAction &action : CellActions)
        if (actionName == qText(action.name))
            form()->handle([&](Game &g) { return g.cellAction(m_k, action.button); });
}

QAccessibleInterface *BoardTable::childAt(int x, int y) const
{
    return isValid() ? cell(cellAtScreenPoint(widget()->window(), game().board(), QPoint(x, y)))
                     : nullptr;
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
    return WindowPart::interface_cast(type);
}

QAccessibleInterface *BoardTable::cellAt(int row, int column) const
{
    const int n = side();
    return row < 0 || row >= n || column < 0 || column >= n ? nullptr
                                                            : cell(CellIndex(column, row));
}

QAccessibleInterface *BoardTable::cell(int k) const
{
    if (!isValid() || !game().board().isShown(k))
        return nullptr;
    if (QAccessibleInterface *known = knownCell(k))
        return known;
    auto *made = new BoardCell(widget(), k);
    m_cells.insert(k, QAccessible::registerAccessibleInterface(made));
    return made;
}

QAccessibleInterface *BoardTable::knownCell(int k) const
{
    const auto found = m_cells.constFind(k);
    return found == m_cells.cend() ? nullptr : QAccessible::accessibleInterface(*found);
}

void BoardTable::tellFocus(int k)
{
    const int lost = std::exchange(m_focused, k);
    // Qt's AT-SPI bridge passes a change of the focused state on from Qt 6.8; before, only its
    // focus event tells of the focus, and of its loss to whatever had it last.
    static const bool stateTold = QLibraryInfo::version() >= QVersionNumber(6, 8);
    if (!stateTold) {
        if (QAccessibleInterface *gained = cell(k)) {
            QAccessibleEvent event(gained, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
        return;
    }
    // The focus event would tell the table, which keeps the keyboard, that it lost the focus.
    // Orca 48 drops the news that the table has just gained it when that loss waits behind it,
    // and then never says which table the cell is in.
    QAccessible::State focus;
    focus.focused = true;
    for (QAccessibleInterface *changed : {lost == k ? nullptr : knownCell(lost), cell(k)}) {
        if (changed) {
            QAccessibleStateChangeEvent event(changed, focus);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void BoardTable::forgetCells()
{
    for (QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
    m_focused = Refresh::NoCell;
}

} // namespace

QAccessibleInterface *accessibleBoard(BoardView *view)
{
    return new BoardTable(view);
}

void announceCell(BoardView *view, int k, QAccessible::Event event)
{
    auto *table = QAccessible::isActive()
                      ? dynamic_cast<BoardTable *>(QAccessible::queryAccessibleInterface(view))
                      : nullptr;
    if (table && event == QAccessible::Focus) {
        table->tellFocus(k);
        return;
    }
    // A new name matters only to a screen reader that holds the cell.
    if (QAccessibleInterface *cell = table ? table->knownCell(k) : nullptr) {
        QAccessibleEvent told(cell, event);
        QAccessible::updateAccessibility(&told);
    }
}

void announceNewCells(BoardView *view)
{
    // The table lets go of every cell of the last game as it hears of the reset. Each one told
    // gone on its own would flood a screen reader that has read whole rows, which then drops
    // what follows.
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(view, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
    // Qt's AT-SPI bridge passes no reset on. A new cell made is news that the table's children
    // changed, on which a screen reader forgets what it keeps of the table: Orca 48 keeps its
    // size, and said the last game's otherwise.
    QAccessibleInterface *table = event.accessibleInterface();
    if (QAccessibleInterface *first = table ? table->child(0) : nullptr) {
        QAccessibleEvent made(first, QAccessible::ObjectCreated);
        QAccessible::updateAccessibility(&made);
    }
}

} // namespace virurad
