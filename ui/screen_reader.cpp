// Reads the accessibility bus's ScreenReaderEnabled and follows it as it changes.
#include "screen_reader.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace virurad {

namespace {

const QString BusService = QStringLiteral("org.a11y.Bus");
const QString BusPath = QStringLiteral("/org/a11y/bus");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString StatusInterface = QStringLiteral("org.a11y.Status");
const QString ScreenReaderProperty = QStringLiteral("ScreenReaderEnabled");

} // namespace

ScreenReaderWatch::ScreenReaderWatch(QObject *parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // A desktop may start its accessibility bus after the game, or restart it.
    m_busWatcher = new QDBusServiceWatcher(BusService, bus,
                                           QDBusServiceWatcher::WatchForRegistration |
                                               QDBusServiceWatcher::WatchForUnregistration,
                                           this);
    connect(m_busWatcher, &QDBusServiceWatcher::serviceRegistered, this, &ScreenReaderWatch::ask);
    connect(m_busWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { setRunning(false); });
    bus.connect(BusService, BusPath, PropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                SLOT(statusChanged(QString, QVariantMap, QStringList)));
    ask();
}

void ScreenReaderWatch::ask()
{
    QDBusMessage get = QDBusMessage::createMethodCall(BusService, BusPath, PropertiesInterface,
                                                      QStringLiteral("Get"));
    get << StatusInterface << ScreenReaderProperty;
    // Only a bus that runs answers: the question must not start one on a desktop that has none.
    get.setAutoStartService(false);
    auto *call = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *done) {
        const QDBusPendingReply<QDBusVariant> answer = *done;
        if (!answer.isError())
            setRunning(answer.value().variant().toBool());
        done->deleteLater();
    });
}

void ScreenReaderWatch::statusChanged(const QString &interface, const QVariantMap &changed,
                                      const QStringList &invalidated)
{
    if (interface != StatusInterface)
        return;
    const auto found = changed.constFind(ScreenReaderProperty);
    if (found != changed.cend())
        setRunning(found->toBool());
    else if (invalidated.contains(ScreenReaderProperty))
        ask();
}

void ScreenReaderWatch::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    emit runningChanged(running);
}

} // namespace virurad
