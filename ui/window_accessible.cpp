// Qt gives a widget's extents in its layout pixels, while on X11 a screen reader takes them as
// the screen's pixels and clicks there: at a scale factor of 2 the middle of "Check Me!" fell on
// the board and placed a chip. These interfaces tell what the game says of each part, from where
// each is drawn; the window's own extents are where it stands on the screen, so that the cells'
// extents within it come out right at every scale.
#include "window_accessible.h"

#include "board_view.h"
#include "device_pixels.h"
#include "form1.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <array>
#include <cmath>

namespace virurad {

namespace {

// Screen pixels to each layout pixel. Only X11 has screen pixels, and there Qt's platform adds
// no scaling of its own, so the window's device pixel ratio is Qt's scale factor alone.
double screenRatio(const QWidget *window)
{
    static const bool onX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    return onX11 ? window->devicePixelRatioF() : 1.0;
}

// Qt keeps a screen's top-left corner unscaled and scales everything from there.
QPoint screenOrigin(const QWidget *window)
{
    const QScreen *screen = window->screen();
    return screen ? screen->geometry().topLeft() : QPoint();
}

// The window's top-left corner on the screen. Qt gives it in layout pixels, rounded.
QPoint windowCorner(const QWidget *window, double ratio)
{
    const QPoint origin = screenOrigin(window);
    const QPoint offset = window->mapToGlobal(QPoint(0, 0)) - origin;
    return origin +
           QPoint(int(std::lround(offset.x() * ratio)), int(std::lround(offset.y() * ratio)));
}

Control controlNamed(const QString &name)
{
    for (Control c : {Control::SizeScroll, Control::SizeOf, Control::Number, Control::Test})
        if (name == qText(controlName(c)))
            return c;
    return Control::None;
}

} // namespace

QRect screenRect(const QWidget *window, const PixelRect &inWindow)
{
    const double ratio = screenRatio(window);
    const PixelRect r = devicePixelRect(inWindow, ratio);
    return QRect(windowCorner(window, ratio) + QPoint(r.left, r.top), QSize(r.width, r.height));
}

int cellAtScreenPoint(const QWidget *window, const ChipBoard &board, QPoint onScreen)
{
    const double ratio = screenRatio(window);
    const QPoint at = onScreen - windowCorner(window, ratio);
    return cellAtDevicePixel(board, at.x(), at.y(), ratio);
}

QAccessible::Role qtRole(Role role)
{
    constexpr std::array<QAccessible::Role, 5> roles{QAccessible::Table, QAccessible::Cell,
                                                     QAccessible::ScrollBar,
                                                     QAccessible::StaticText, QAccessible::Button};
    return roles[std::size_t(role)];
}

QRect WindowPart::rect() const
{
    const QWidget *part = widget();
    if (!part || !part->isVisible())
        return {};
    const QPoint at = part->mapTo(part->window(), QPoint(0, 0));
    return screenRect(part->window(), {at.x(), at.y(), part->width(), part->height()});
}

const Game &WindowPart::game() const
{
    return static_cast<const Form1 *>(widget()->window())->game();
}

QAccessibleInterface *accessibleWindowPart(const QString &, QObject *object)
{
    if (auto *window = qobject_cast<Form1 *>(object))
        return new WindowPart(window, Control::None);
    if (auto *view = qobject_cast<BoardView *>(object))
        return accessibleBoard(view);
    auto *widget = qobject_cast<QWidget *>(object);
    const Control control = widget ? controlNamed(object->objectName()) : Control::None;
    return control == Control::None ? nullptr : new WindowPart(widget, control);
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

void announce(QWidget *window, const QString &text)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleAnnouncementEvent event(window, text);
    QAccessible::updateAccessibility(&event);
}

#else

namespace {

// A notification that says the last announcement, on behalf of the window that made it. It
// stands beside the window's controls rather than among them, so that reading the window through
// never meets it; screen readers hear of it only when it appears. Qt keeps it until it quits.
class Notice : public WidgetlessPart {
  public:
    Notice() : WidgetlessPart(nullptr) {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_text : QString();
    }
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }

    void say(QWidget *window, const QString &text)
    {
        m_owner = window;
        m_text = text;
    }

  private:
    QString m_text;
};

} // namespace

void announce(QWidget *window, const QString &text)
{
    if (!QAccessible::isActive())
        return;
    static const QAccessible::Id id = QAccessible::registerAccessibleInterface(new Notice);
    auto *notice = static_cast<Notice *>(QAccessible::accessibleInterface(id));
    notice->say(window, text);
    // A screen reader keeps the name it last read of an object until told that it changed.
    QAccessibleEvent renamed(notice, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

#endif

namespace {

void retell(QWidget *window)
{
    QAccessible::State active;
    active.active = true;
    QAccessibleStateChangeEvent activated(window, active);
    QAccessible::updateAccessibility(&activated);
    if (QWidget *focus = QApplication::focusWidget()) {
        QAccessibleEvent focused(focus, QAccessible::Focus);
        QAccessible::updateAccessibility(&focused);
    }
}

// Qt calls its observers as it turns accessibility on, before its bridge has joined the bus. A
// window already active then was told of to no one; one that becomes active later is told of as
// ever, and telling it again would have a screen reader read the window twice. The telling waits
// for the next turn of the event loop, when the bridge has joined.
class BridgeWatch : public QObject, public QAccessible::ActivationObserver {
  public:
    explicit BridgeWatch(QWidget *window) : QObject(window)
    {
        QAccessible::installActivationObserver(this);
    }
    ~BridgeWatch() override { QAccessible::removeActivationObserver(this); }

    void accessibilityActiveChanged(bool active) override
    {
        auto *window = static_cast<QWidget *>(parent());
        if (active && window->isActiveWindow())
            QTimer::singleShot(0, window, [window] { retell(window); });
    }
};

} // namespace

void retellOnceHeard(QWidget *window)
{
    new BridgeWatch(window);
}

} // namespace virurad
