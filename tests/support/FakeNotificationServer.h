#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <vector>

/// What the fake notification service was asked to show.
struct FakeNotifyCall
{
    QString appName;
    uint replacesId;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int expireTimeout;
};

/// The methods of org.freedesktop.Notifications, recording every call. Lives in a thread of its
/// own, so that it answers whatever the test's own thread does. A stalled one records calls but
/// never answers them, as a hung service.
class FakeNotificationService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    /// The id of the first notification; the next ones count up from it.
    static constexpr uint firstId = 41;

    explicit FakeNotificationService(QStringList capabilities, bool stalled = false)
        : m_capabilities(std::move(capabilities)), m_stalled(stalled)
    {}

    std::vector<FakeNotifyCall> notifyCalls() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_notifyCalls;
    }
    std::vector<uint> closeCalls() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_closeCalls;
    }

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout)
    {
        const QMutexLocker lock(&m_mutex);
        m_notifyCalls.push_back(
            {appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
        stallIfTold();
        return m_nextId++;
    }
    void CloseNotification(uint id)
    {
        const QMutexLocker lock(&m_mutex);
        m_closeCalls.push_back(id);
    }
    QStringList GetCapabilities()
    {
        stallIfTold();
        return m_capabilities;
    }

private:
    void stallIfTold()
    {
        if (m_stalled)
            setDelayedReply(true); // and never reply
    }

    const QStringList m_capabilities;
    const bool m_stalled;
    mutable QMutex m_mutex;
    std::vector<FakeNotifyCall> m_notifyCalls;
    std::vector<uint> m_closeCalls;
    // Far from 0 and 1, so an id mixed up with a count or a flag shows.
    uint m_nextId = firstId;
};

/// A notification service on its own connection to the bus at an address; it sends the
/// service's signals when the test says so.
class FakeNotificationServer
{
public:
    explicit FakeNotificationServer(const QString& busAddress,
                                    QStringList capabilities = {QStringLiteral("actions"),
                                                                QStringLiteral("body")},
                                    bool stalled = false)
        : m_service(std::move(capabilities), stalled),
          m_bus(QDBusConnection::connectToBus(busAddress, QStringLiteral("fake-notifications")))
    {
        m_service.moveToThread(&m_thread);
        m_thread.start();
        m_registered = m_bus.registerObject(path(), &m_service, QDBusConnection::ExportAllSlots) &&
                       m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    ~FakeNotificationServer()
    {
        m_bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        m_bus.unregisterObject(path());
        QDBusConnection::disconnectFromBus(m_bus.name());
        m_thread.quit();
        m_thread.wait(5000);
    }
    FakeNotificationServer(const FakeNotificationServer&) = delete;
    FakeNotificationServer& operator=(const FakeNotificationServer&) = delete;

    /// Connected, and owns the service name.
    [[nodiscard]] bool isRunning() const { return m_registered; }
    std::vector<FakeNotifyCall> notifyCalls() const { return m_service.notifyCalls(); }
    std::vector<uint> closeCalls() const { return m_service.closeCalls(); }

    void sendActionInvoked(uint id, const QString& actionKey)
    {
        sendSignal(QStringLiteral("ActionInvoked"), {id, actionKey});
    }
    void sendNotificationClosed(uint id, uint reason)
    {
        sendSignal(QStringLiteral("NotificationClosed"), {id, reason});
    }

private:
    static QString path() { return QStringLiteral("/org/freedesktop/Notifications"); }

    void sendSignal(const QString& name, const QVariantList& arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            path(), QStringLiteral("org.freedesktop.Notifications"), name);
        signal.setArguments(arguments);
        m_bus.send(signal);
    }

    FakeNotificationService m_service;
    QThread m_thread;
    QDBusConnection m_bus;
    bool m_registered = false;
};
