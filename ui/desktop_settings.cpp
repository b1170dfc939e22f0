// Reads the desktop's settings over the session bus, and follows them as they change.
#include "desktop_settings.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

#include <functional>

namespace virurad {

namespace {

const QString A11yBus = QStringLiteral("org.a11y.Bus");
const QString A11yStatus = QStringLiteral("org.a11y.Status");
const QString ScreenReaderKey = QStringLiteral("ScreenReaderEnabled");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString A11yPath = QStringLiteral("/org/a11y/bus");
const QString Portal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString PortalSettings = QStringLiteral("org.freedesktop.portal.Settings");
const QString Appearance = QStringLiteral("org.freedesktop.appearance");
const QString GnomeA11y = QStringLiteral("org.gnome.desktop.a11y.interface");

// Calls a method without waiting for its answer, which `then` gets when it comes, if it comes.
void ask(QObject *owner, const QDBusMessage &call,
         const std::function<void(const QDBusMessage &)> &then)
{
    auto *answer =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), owner);
    QObject::connect(answer, &QDBusPendingCallWatcher::finished, owner,
                     [then](QDBusPendingCallWatcher *done) {
                         then(done->reply());
                         done->deleteLater();
                     });
}

// A portal's value, which portals before version 2 wrap in a second variant.
QVariant unwrapped(QVariant value)
{
    while (value.canConvert<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

DesktopSettings::DesktopSettings(QObject *parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // A desktop may start its accessibility bus after the game, or restart it.
    auto *a11y =
        new QDBusServiceWatcher(A11yBus, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(a11y, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &owner) {
                owner.isEmpty() ? setScreenReader(false) : askScreenReader();
            });
    bus.connect(A11yBus, A11yPath, Properties, QStringLiteral("PropertiesChanged"), this,
                SLOT(statusChanged(QString, QVariantMap, QStringList)));
    bus.connect(Portal, PortalPath, PortalSettings, QStringLiteral("SettingChanged"), this,
                SLOT(settingChanged(QString, QString, QDBusVariant)));
    askScreenReader();
    askContrast("ReadOne", Appearance, QStringLiteral("contrast"));
}

void DesktopSettings::askScreenReader()
{
    QDBusMessage get = QDBusMessage::createMethodCall(A11yBus, A11yPath, Properties, "Get");
    get << A11yStatus << ScreenReaderKey;
    // Only a bus that runs answers: the question must not start one on a desktop that has none.
    get.setAutoStartService(false);
    ask(this, get, [this](const QDBusMessage &answer) {
        if (answer.type() == QDBusMessage::ReplyMessage)
            setScreenReader(unwrapped(answer.arguments().value(0)).toBool());
    });
}

void DesktopSettings::askContrast(const char *method, const QString &group, const QString &key)
{
    QDBusMessage read = QDBusMessage::createMethodCall(Portal, PortalPath, PortalSettings, method);
    read << group << key;
    ask(this, read, [=, this](const QDBusMessage &answer) {
        if (answer.type() == QDBusMessage::ReplyMessage)
            setContrast(group, unwrapped(answer.arguments().value(0)));
        else if (answer.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
            askContrast("Read", group, key); // a portal older than version 2
        else if (group == Appearance && answer.errorName().endsWith(QLatin1String(".NotFound")))
            askContrast(method, GnomeA11y, QStringLiteral("high-contrast"));
    });
}

void DesktopSettings::statusChanged(const QString &interface, const QVariantMap &changed,
                                    const QStringList &invalidated)
{
    if (interface != A11yStatus)
        return;
    if (changed.contains(ScreenReaderKey))
        setScreenReader(changed.value(ScreenReaderKey).toBool());
    else if (invalidated.contains(ScreenReaderKey))
        askScreenReader();
}

void DesktopSettings::settingChanged(const QString &group, const QString &key,
                                     const QDBusVariant &value)
{
    if ((group == Appearance && key == QStringLiteral("contrast")) ||
        (group == GnomeA11y && key == QStringLiteral("high-contrast")))
        setContrast(group, unwrapped(value.variant()));
}

void DesktopSettings::setScreenReader(bool running)
{
    if (running != m_screenReader)
        emit screenReaderChanged(m_screenReader = running);
}

void DesktopSettings::setContrast(const QString &group, const QVariant &value)
{
    const bool before = m_contrast >= 0 ? m_contrast == 1 : m_highContrast;
    if (group == Appearance)
        m_contrast = value.toUInt() == 1 ? 1 : 0;
    else
        m_highContrast = value.toBool();
    const bool now = m_contrast >= 0 ? m_contrast == 1 : m_highContrast;
    if (now != before)
        emit contrastChanged(now);
}

} // namespace virurad
