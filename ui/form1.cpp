// Builds the window and turns each of its events into one call to the game.
#include "form1.h"

#include "desktop_settings.h"
#include "device_pixels.h"
#include "last_frame.h"
#include "line_check.h"
#include "side_controls.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <chrono>

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

// Milliseconds on a steady clock as an event is handled: Qt gives no time with a key.
unsigned long deliveredAt()
{
    using namespace std::chrono;
    return 1 + duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A key as the game names it, on the main keys or the keypad; Shift+Tab comes as Backtab.
KeyPress keyPressOf(const QKeyEvent *event)
{
    static const QHash<int, Key> keys{
        {Qt::Key_Left, Key::Left},     {Qt::Key_Right, Key::Right},
        {Qt::Key_Up, Key::Up},         {Qt::Key_Down, Key::Down},
        {Qt::Key_PageUp, Key::PageUp}, {Qt::Key_PageDown, Key::PageDown},
        {Qt::Key_Home, Key::Home},     {Qt::Key_End, Key::End},
        {Qt::Key_Space, Key::Space},   {Qt::Key_Return, Key::Enter},
        {Qt::Key_Enter, Key::Enter},   {Qt::Key_M, Key::M},
        {Qt::Key_Tab, Key::Tab},       {Qt::Key_Backtab, Key::Tab}};
    const Qt::KeyboardModifiers held = event->modifiers();
    return {keys.value(event->key(), Key::Other),
            held.testFlag(Qt::ShiftModifier) || event->key() == Qt::Key_Backtab,
            (held & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0,
            event->isAutoRepeat(), deliveredAt()};
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent), m_desktop(new DesktopSettings(this))
{
    // Before anything asks for the interface of the window or a part of it; Qt keeps each
    // factory once.
    QAccessible::installFactory(accessibleWindowPart);
    m_boardView = new BoardView(m_game, this);
    setWindowTitle(qText(WindowTitle));
    setFixedSize(WindowWidth, WindowHeight);
    SizeScroll = makeSizeScroll(this);
    SizeOf = makeSizeLabel(this);
    Number = makeCountLabel(this);
    Test = makeCheckButton(this);
    widgetOf(FirstFocus)->setFocus();
    retellOnceHeard(this);
    for (QWidget *control : {static_cast<QWidget *>(m_boardView), widgetOf(Control::SizeScroll),
                             widgetOf(Control::Test)})
        control->installEventFilter(this);
    connect(m_desktop, &DesktopSettings::screenReaderChanged, this, &Form1::followScreenReader);
    connect(m_desktop, &DesktopSettings::contrastChanged, this, &Form1::followContrast);
    connect(SizeScroll, &QScrollBar::valueChanged, this, &Form1::SizeScroll_Change);
    connect(Test, &QPushButton::clicked, this, &Form1::Test_Click);
    Form_Load();
}

Control Form1::controlOf(const QObject *object) const
{
    const auto widgets = controls();
    const auto found = std::find(widgets.begin() + 1, widgets.end(), object);
    return found == widgets.end() ? Control::None : Control(found - widgets.begin());
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), toQColor(coloursFor(m_game.look()).window));
}

void Form1::Form_Load()
{
    loadpieces();
}

// The painted board has no cells to create: the fresh board only needs showing.
void Form1::loadpieces()
{
    Update everything;
    everything.refresh = WholeWindow;
    showUpdate(everything);
}

void Form1::SizeScroll_Change()
{
    showUpdate(m_game.changeSize(SizeScroll->value()));
}

void Form1::mousePressEvent(QMouseEvent *event)
{
    m_game.pressButton(gameButton(event->button()), devicePoint(event), devicePixelRatioF());
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
    showUpdate(m_game.releaseButton(Button, At, devicePixelRatioF()));
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // A stray wheel turn while the pointer rests on the scroll bar would start a new game.
    if (event->type() == QEvent::Wheel)
        return watched == SizeScroll;
    // Its own focus events, not the application's focusChanged: those also come while the
    // window is being destroyed, after the game has gone.
    const bool in = event->type() == QEvent::FocusIn;
    if (watched == m_boardView && (in || event->type() == QEvent::FocusOut)) {
        showUpdate(m_game.boardFocus(in));
        // The cursor's cell loses the focus with the board, and gains it once Qt has told of
        // the board's (focusCell).
        if (!in)
            announceCell(m_boardView, Refresh::NoCell, QAccessible::Focus);
    }
    if (event->type() == QEvent::KeyRelease)
        m_game.keyReleased(keyPressOf(static_cast<QKeyEvent *>(event)).key, deliveredAt());
    if (event->type() != QEvent::KeyPress)
        return false;
    const Update update =
        m_game.key(controlOf(watched), keyPressOf(static_cast<QKeyEvent *>(event)));
    showUpdate(update);
    return update.handled;
}

void Form1::followScreenReader(bool running)
{
    const Update update = m_game.setScreenReader(running);
    m_boardView->setFocusPolicy(m_game.boardTakesFocus() ? Qt::StrongFocus : Qt::NoFocus);
    showUpdate(update);
}

// The desktop gives no palette of its own: the board takes the game's own colours for more
// contrast, and the side controls keep the desktop's theme, which follows the switch itself.
void Form1::followContrast(bool more)
{
    showUpdate(m_game.setLook({more, false, {}}));
}

void Form1::Test_Click()
{
    const CheckResult result = RunCheck(m_game.board());
    const auto icon =
        result.icon == CheckResult::Icon::Error ? QMessageBox::Critical : QMessageBox::Information;
    FrameSafeMessageBox(icon, qText(result.title), qText(result.text), QMessageBox::Ok, this)
        .exec();
}

void Form1::closeEvent(QCloseEvent *event)
{
    waitForLastFrame(this);
    QWidget::closeEvent(event);
}

void Form1::showUpdate(const Update &update)
{
    virurad::show(m_game, update, devicePixelRatioF(), *this);
}

void Form1::repaintBoard(int, const PixelRect &area)
{
    m_boardView->update(toQRect(scaledCover(area, 1 / devicePixelRatioF())));
}

void Form1::showSize(std::string_view caption, int value)
{
    SizeOf->setText(qText(caption));
    SizeScroll->setValue(value);
}

void Form1::focusCell(int k)
{
    // Once Qt has told screen readers that the board has the focus, the cell takes it.
    QTimer::singleShot(0, this, [this, k] {
        if (m_game.focusedCell() == k)
            announceCell(m_boardView, k, QAccessible::Focus);
    });
}

} // namespace virurad
