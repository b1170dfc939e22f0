// What the desktop tells every program on the session bus: whether a screen reader runs, and
// whether its user asked for more contrast.
#pragma once

#include <QObject>

class QDBusVariant;

namespace virurad {

// Both start out off and are learnt from the bus without ever waiting for it: with no session bus,
// no accessibility bus or portal on it, or one that errs or never answers, they stay as they are.
// The screen reader is the accessibility bus's ScreenReaderEnabled, which a desktop sets while its
// user has one on (Qt's own accessibility says less: any client, a test tool or an on-screen
// keyboard, turns that on). Contrast is the settings portal's org.freedesktop.appearance contrast
// (1 for more), or on a portal without it, GNOME's high-contrast switch, which portals pass on.
class DesktopSettings : public QObject {
    Q_OBJECT
  public:
    explicit DesktopSettings(QObject *parent = nullptr);

  signals:
    void screenReaderChanged(bool running);
    void contrastChanged(bool more);

  private slots:
    // The buses' own signals, which QtDBus connects by the slot's name only.
    void statusChanged(const QString &interface, const QVariantMap &changed,
                       const QStringList &invalidated);
    void settingChanged(const QString &group, const QString &key, const QDBusVariant &value);

  private:
    void askScreenReader();
    void askContrast(const char *method, const QString &group, const QString &key);
    void setScreenReader(bool running);
    void setContrast(const QString &group, const QVariant &value);

    bool m_screenReader = false;
    int m_contrast = -1;         // the portal's appearance contrast: -1 unknown, 0 none, 1 more
    bool m_highContrast = false; // GNOME's switch, where the portal has no contrast of its own
};

} // namespace virurad
