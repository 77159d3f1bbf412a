#pragma once

#include "platform/Notifier.h"

#include <QDBusConnection>
#include <QSet>

class QDBusMessage;

/// Notifications through the desktop's notification service (org.freedesktop.Notifications).
/// Every call waits at most callTimeoutMs; without a bus or a service nothing is shown, nothing
/// is reported and nothing is printed.
class DBusNotifier final : public Notifier
{
    Q_OBJECT
public:
    static constexpr int callTimeoutMs = 1000;

    explicit DBusNotifier(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                          QObject* parent = nullptr);
    ~DBusNotifier() override;

    std::optional<quint32> notify(const NotificationRequest& request) override;
    void withdraw(quint32 id) override;
    [[nodiscard]] bool supportsActions() override;

private:
    [[nodiscard]] static QDBusMessage methodCall(const QString& method,
                                                 const QVariantList& arguments);
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

    QDBusConnection m_bus;
    // The service signals every client about every notification; ours are these.
    QSet<quint32> m_shown;
};
