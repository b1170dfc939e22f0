// Builds the window and turns each of its events into one move on the board.
#include "form1.h"

#include "accessible_texts.h"
#include "announcement.h"
#include "board_view.h"
#include "game_events.h"
#include "line_check.h"
#include "qt_design.h"
#include "screen_pixels.h"
#include "screen_reader.h"
#include "side_accessible.h"
#include "side_controls.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

namespace virurad {

namespace {

// Qt's buttons as the game numbers them; any other button is 0, which plays nothing.
constexpr int gameButton(Qt::MouseButton b)
{
    return b == Qt::LeftButton     ? int(MouseButton::Left)
           : b == Qt::RightButton  ? int(MouseButton::Right)
           : b == Qt::MiddleButton ? int(MouseButton::Middle)
                                   : 0;
}

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

Form1::Form1(QWidget *parent)
    : QWidget(parent), m_boardView(new BoardView(m_board, m_cursor, this)),
      m_screenReader(new ScreenReaderWatch(this))
{
    // Qt keeps each factory once, however many windows install it.
    QAccessible::installFactory(accessibleGameWindow);
    setWindowTitle(qText(WindowTitle));
    setFixedSize(WindowWidth, WindowHeight);
    m_boardView->move(0, 0);
    createSideControls();

    connect(m_boardView, &BoardView::cellAction, this, &Form1::cellAction);
    connect(m_boardView, &BoardView::boardKey, this, &Form1::boardKey);
    connect(m_screenReader, &ScreenReaderWatch::runningChanged, this, &Form1::followScreenReader);
    connect(SizeScroll, &QScrollBar::valueChanged, this, &Form1::SizeScroll_Change);
    connect(Test, &QPushButton::clicked, this, &Form1::Test_Click);
    Form_Load();
}

void Form1::createSideControls()
{
    // Before the first accessible name is set, which already asks for the control's interface.
    QAccessible::installFactory(accessibleSideControl);
    // Created in tab order, after the board. Only the scroll bar and the button take the focus,
    // and the board while a screen reader runs.
    SizeScroll = makeSizeScroll(this);
    SizeOf = makeSizeLabel(this);
    Number = makeCountLabel(this);
    Test = makeCheckButton(this);
    setTabOrder(m_boardView, SizeScroll);
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
    const Refresh refresh = changeSize(m_board, SizeScroll->value());
    if (refresh.wholeBoard)
        m_cursor.newGame();
    refreshControls(refresh);
    // The scroll bar's own value is all a screen reader would say, and the last game is gone.
    if (refresh.wholeBoard && m_boardView->keyboardPlay())
        announce(this, qText(newGameAnnouncement(m_board)));
}

void Form1::mousePressEvent(QMouseEvent *event)
{
    m_pointer.press(m_board, gameButton(event->button()), devicePoint(event), devicePixelRatioF());
}

void Form1::mouseReleaseEvent(QMouseEvent *event)
{
    Square_MouseUp(gameButton(event->button()), devicePoint(event));
}

DevicePoint Form1::devicePoint(const QMouseEvent *event) const
{
    // Qt rounds the position it gives a widget to whole layout pixels, which at a scale of 2
    // moves the board's last device pixel onto the first one past it; the position in the
    // window, which this window is, keeps the fraction the screen reported.
    const QPointF at = event->scenePosition() * devicePixelRatioF();
    return {at.x(), at.y()};
}

void Form1::Square_MouseUp(int Button, DevicePoint At)
{
    refreshControls(m_pointer.release(m_board, Button, At, devicePixelRatioF()));
}

void Form1::cellAction(int k, int button)
{
    refreshControls(releaseButton(m_board, k, button));
}

void Form1::boardKey(BoardKey key)
{
    const KeyPlay play = m_cursor.press(m_board, key);
    refreshControls(play.refresh);
    if (play.from != Refresh::NoCell)
        m_boardView->showCursorMove(play.from);
    else if (play.refresh.cell != Refresh::NoCell)
        m_boardView->showKeyPlay();
}

void Form1::followScreenReader(bool running)
{
    m_boardView->setKeyboardPlay(running);
    // The board gives up the focus it can no longer have to the next control that takes it.
    if (!running && m_boardView->hasFocus())
        SizeScroll->setFocus();
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
    showChanges(m_board, refresh, devicePixelRatioF(), *this);
}

void Form1::repaintBoard(int cell, const PixelRect &area)
{
    m_boardView->showCells(cell, area);
}

void Form1::showSizeCaption(std::string_view text)
{
    SizeOf->setText(qText(text));
}

void Form1::showCountCaption(std::string_view text)
{
    Number->setText(qText(text));
}

} // namespace virurad
