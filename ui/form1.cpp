// Builds the window and turns each of its events into one move on the board.
#include "form1.h"

#include "board_view.h"
#include "game_events.h"
#include "line_check.h"
#include "qt_design.h"
#include "screen_pixels.h"
#include "side_controls.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

namespace {

// Qt exposes a plain top-level QWidget as a filler, which screen readers do not announce as a
// window; the game's window is presented as a window, which Qt names by its title. Its extents
// are where it stands on the screen, as the board's cells are, so that the cells' extents within
// the window come out right at every scale.
class GameWindowAccessible : public QAccessibleWidget {
  public:
    explicit GameWindowAccessible(Form1 *window) : QAccessibleWidget(window, QAccessible::Window) {}
    QRect rect() const override
    {
        return widget()->isVisible() ? screenRect(widget(), {0, 0, WindowWidth, WindowHeight})
                                     : QRect();
    }
};

QAccessibleInterface *accessibleGameWindow(const QString &, QObject *object)
{
    auto *window = qobject_cast<Form1 *>(object);
    return window ? new GameWindowAccessible(window) : nullptr;
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent), m_boardView(new BoardView(m_board, this))
{
    // Qt keeps each factory once, however many windows install it.
    QAccessible::installFactory(accessibleGameWindow);
    setWindowTitle(qText(WindowTitle));
    setFixedSize(WindowWidth, WindowHeight);
    m_boardView->move(0, 0);
    createSideControls();

    connect(m_boardView, &BoardView::squareMouseUp, this, &Form1::Square_MouseUp);
    connect(SizeScroll, &QScrollBar::valueChanged, this, &Form1::SizeScroll_Change);
    connect(Test, &QPushButton::clicked, this, &Form1::Test_Click);
    Form_Load();
}

void Form1::createSideControls()
{
    // Created in tab order; only the scroll bar and the button take the focus.
    SizeScroll = makeSizeScroll(this);
    SizeOf = makeSizeLabel(this);
    Number = makeCountLabel(this);
    Test = makeCheckButton(this);
    setTabOrder(SizeScroll, Test);
    SizeScroll->setFocus();
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), toQColor(WindowGreen));
}

void Form1::Form_Load()
{
    loadpieces();
}

// The painted board has no cells to create: the fresh board only needs showing.
void Form1::loadpieces()
{
    refreshControls(WholeWindow);
}

void Form1::SizeScroll_Change()
{
    refreshControls(changeSize(m_board, SizeScroll->value()));
}

void Form1::Square_MouseUp(int Index, int Button)
{
    refreshControls(releaseButton(m_board, Index, Button));
}

void Form1::Test_Click()
{
    const CheckResult result = RunCheck(m_board);
    const auto icon =
        result.icon == CheckResult::Icon::Error ? QMessageBox::Critical : QMessageBox::Information;
    QMessageBox box(icon, qText(result.title), qText(result.text), QMessageBox::Ok, this);
    box.exec();
}

void Form1::refreshControls(const Refresh &refresh)
{
    if (refresh.sizeCaption)
        SizeOf->setText(qText(m_board.sizeCaption()));
    if (refresh.countCaption)
        Number->setText(qText(m_board.countCaption()));
    if (refresh.wholeBoard)
        m_boardView->updateBoard();
    else if (refresh.cell != Refresh::NoCell)
        m_boardView->updateCell(refresh.cell);
}
