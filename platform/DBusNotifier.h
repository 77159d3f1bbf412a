#pragma once

#include "platform/Notifier.h"

#include <QDBusConnection>
#include <QHash>

class QDBusMessage;
class QDBusPendingCallWatcher;

/// Notifications through the desktop's notification service (org.freedesktop.Notifications).
/// Nothing waits for the service: calls go out asynchronously and their answers come back
/// through the event loop, so a service that never answers delays nothing. Without a bus or a
/// service nothing is shown, nothing is reported and nothing is printed.
class DBusNotifier final : public Notifier
{
    Q_OBJECT
public:
    /// How long an answer may take before the notification counts as not shown.
    static constexpr int callTimeoutMs = 10000;

    explicit DBusNotifier(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                          QObject* parent = nullptr);
    ~DBusNotifier() override;

    std::optional<quint32> notify(const NotificationRequest& request) override;
    void withdraw(quint32 handle) override;
    [[nodiscard]] bool supportsActions() override;

private:
    [[nodiscard]] static QDBusMessage methodCall(const QString& method,
                                                 const QVariantList& arguments);
    void askCapabilities();
    void onNotifyAnswered(quint32 handle, QDBusPendingCallWatcher* watcher);
    void closeOnService(quint32 id);
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

    QDBusConnection m_bus;
    bool m_capabilitiesKnown = false;
    bool m_capabilitiesAsked = false;
    bool m_actions = false;
    quint64 m_serviceGeneration = 0;
    quint32 m_lastHandle = 0;
    // Handles whose Notify has not been answered yet: true once withdrawn meanwhile.
    QHash<quint32, bool> m_waiting;
    // The service signals every client about every notification; ours are these, by the
    // service's id, with the handle notify() gave for each.
    QHash<quint32, quint32> m_handleOfId;
};
