// Builds the window and turns each of its events into one move on the board.
#include "form1.h"

#include "board_view.h"
#include "line_check.h"
#include "side_controls.h"
#include "window_layout.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

namespace {

const QColor WindowGreen(192, 255, 192);

QString qText(const std::string &text)
{
    return QString::fromStdString(text);
}

// Qt exposes a plain top-level QWidget as a filler, which screen readers do not announce as a
// window; the game's window is presented as a window, which Qt names by its title.
QAccessibleInterface *accessibleGameWindow(const QString &, QObject *object)
{
    auto *window = qobject_cast<Form1 *>(object);
    return window ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent), m_boardView(new BoardView(m_board, this))
{
    // Qt keeps each factory once, however many windows install it.
    QAccessible::installFactory(accessibleGameWindow);
    setWindowTitle(QStringLiteral("Vir Urad Izuva?"));
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
    QPainter(this).fillRect(rect(), WindowGreen);
}

void Form1::Form_Load()
{
    loadpieces();
}

// The painted board has no cells to create: the fresh board only needs showing.
void Form1::loadpieces()
{
    showWholeBoard();
}

void Form1::SizeScroll_Change()
{
    m_board.setSize(SizeScroll->value());
    showWholeBoard();
}

void Form1::Square_MouseUp(int Index, int Button)
{
    bool countChanged = false;
    if (Button == int(MouseButtonNumber::Left)) {
        m_board.pressLeft(Index);
        countChanged = true;
    } else if (Button == int(MouseButtonNumber::Right)) {
        countChanged = m_board.pressRight(Index);
    } else {
        return;
    }
    m_boardView->updateCell(Index);
    if (countChanged)
        showCount();
}

void Form1::Test_Click()
{
    const CheckResult result = RunCheck(m_board);
    const auto icon =
        result.icon == CheckResult::Icon::Error ? QMessageBox::Critical : QMessageBox::Information;
    QMessageBox box(icon, qText(result.title), qText(result.text), QMessageBox::Ok, this);
    box.exec();
}

void Form1::showWholeBoard()
{
    SizeOf->setText(qText(m_board.sizeCaption()));
    showCount();
    m_boardView->updateBoard();
}

void Form1::showCount()
{
    Number->setText(qText(m_board.countCaption()));
}
