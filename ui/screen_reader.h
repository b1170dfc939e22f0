// Whether a screen reader runs, as the desktop tells every program on the session bus.
#pragma once

#include <QObject>

class QDBusServiceWatcher;

namespace virurad {

// Follows the accessibility bus's ScreenReaderEnabled, which a desktop sets while its user has
// the screen reader on. Qt's own accessibility being active says less: any accessibility client,
// a test tool or an on-screen keyboard, turns that on too. Starts out off and learns the truth
// from the bus without blocking; with no session bus, or no accessibility bus on it, it stays off.
class ScreenReaderWatch : public QObject {
    Q_OBJECT
  public:
    explicit ScreenReaderWatch(QObject *parent = nullptr);

    bool isRunning() const { return m_running; }

  signals:
    void runningChanged(bool running);

  private slots:
    // The bus's PropertiesChanged, which QtDBus connects by the slot's name only.
    void statusChanged(const QString &interface, const QVariantMap &changed,
                       const QStringList &invalidated);

  private:
    void ask();
    void setRunning(bool running);

    QDBusServiceWatcher *m_busWatcher = nullptr;
    bool m_running = false;
};

} // namespace virurad
