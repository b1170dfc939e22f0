// Speaks a sentence through the accessibility bus, with Qt's announcement where it has one.
#include "announcement.h"

#include <QAccessible>
#include <QPointer>
#include <QWidget>

namespace virurad {

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

// A notification that says the last announcement. It stands beside the window's controls
// rather than among them, so that reading the window through never meets it; screen readers
// hear of it only when it appears.
class Notice : public QAccessibleInterface {
  public:
    explicit Notice(QWidget *window) : m_window(window) {}

    bool isValid() const override { return !m_window.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_window ? m_window->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return m_window ? QAccessible::queryAccessibleInterface(m_window) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_text : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }

    void say(const QString &text) { m_text = text; }

  private:
    QPointer<QWidget> m_window;
    QString m_text;
};

// Keeps a window's notice for as long as the window lives.
class NoticeKeeper : public QObject {
  public:
    explicit NoticeKeeper(QWidget *window)
        : QObject(window), m_id(QAccessible::registerAccessibleInterface(new Notice(window)))
    {
        setObjectName(name());
    }
    ~NoticeKeeper() override { QAccessible::deleteAccessibleInterface(m_id); }

    static QString name() { return QStringLiteral("virurad-notice"); }
    Notice *notice() const { return static_cast<Notice *>(QAccessible::accessibleInterface(m_id)); }

  private:
    const QAccessible::Id m_id;
};

} // namespace

void announce(QWidget *window, const QString &text)
{
    if (!QAccessible::isActive())
        return;
    auto *keeper = static_cast<NoticeKeeper *>(
        window->findChild<QObject *>(NoticeKeeper::name(), Qt::FindDirectChildrenOnly));
    if (!keeper)
        keeper = new NoticeKeeper(window);
    Notice *notice = keeper->notice();
    notice->say(text);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

#endif

} // namespace virurad
