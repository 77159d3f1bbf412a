#include "platform/DBusNotifier.h"

#include <QDBusAbstractInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr char Interface[] = "org.freedesktop.Notifications";
const QString DesktopEntry = QStringLiteral("org.dorvane.Dorvane");

constexpr uchar NormalUrgency = 1;
constexpr uchar CriticalUrgency = 2;
// Let the service choose how long a notification stays.
constexpr int ServerDefaultTimeout = -1;

} // namespace

// The service's signals as Qt signals, so they connect the new way: the bus match rule is added
// when a signal gets its first connection. No service name: naming it would make Qt ask the bus
// for its owner here, blocking with the library's 25 s timeout. The ids we keep filter anyway.
class NotificationSignals : public QDBusAbstractInterface
{
    Q_OBJECT
public:
    NotificationSignals(const QDBusConnection& bus, QObject* parent)
        : QDBusAbstractInterface(QString(), ObjectPath, Interface, bus, parent)
    {}

signals:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);
};

DBusNotifier::DBusNotifier(const QDBusConnection& bus, QObject* parent)
    : Notifier(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    auto* serviceSignals = new NotificationSignals(m_bus, this);
    connect(serviceSignals, &NotificationSignals::ActionInvoked, this,
            &DBusNotifier::onActionInvoked);
    connect(serviceSignals, &NotificationSignals::NotificationClosed, this,
            &DBusNotifier::onNotificationClosed);
    // Another service, or the same one restarted, may offer other things.
    auto* owner =
        new QDBusServiceWatcher(Service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        ++m_serviceGeneration;
        m_capabilitiesAsked = false;
        m_capabilitiesKnown = false;
        m_actions = false;
        askCapabilities();
    });
    askCapabilities();
}

DBusNotifier::~DBusNotifier() = default;

QDBusMessage DBusNotifier::methodCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, ObjectPath, QString::fromLatin1(Interface), method);
    call.setArguments(arguments);
    return call;
}

// Asked once per service; again when none answered yet, as one may start after us.
void DBusNotifier::askCapabilities()
{
    if (m_capabilitiesKnown || m_capabilitiesAsked)
        return;
    m_capabilitiesAsked = true;
    const quint64 generation = m_serviceGeneration;
    auto* watcher = new QDBusPendingCallWatcher(
        m_bus.asyncCall(methodCall(QStringLiteral("GetCapabilities"), {}), callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher* answered) {
                answered->deleteLater();
                if (generation != m_serviceGeneration)
                    return; // from a service that has gone since
                m_capabilitiesAsked = false;
                const QDBusPendingReply<QStringList> reply = *answered;
                if (reply.isError())
                    return;
                m_capabilitiesKnown = true;
                m_actions = reply.value().contains(QStringLiteral("actions"));
            });
}

std::optional<quint32> DBusNotifier::notify(const NotificationRequest& request)
{
    if (!m_bus.isConnected())
        return std::nullopt;
    askCapabilities();
    QStringList actions;
    for (const NotificationAction& action : request.actions)
        actions << action.key << action.label;
    const QVariantMap hints{
        {QStringLiteral("urgency"),
         QVariant::fromValue(request.critical ? CriticalUrgency : NormalUrgency)},
        {QStringLiteral("desktop-entry"), DesktopEntry},
    };
    // Our own handle at once; the service's id is tied to it when its answer comes.
    const quint32 handle = ++m_lastHandle;
    m_waiting.insert(handle, false);
    auto* watcher = new QDBusPendingCallWatcher(
        m_bus.asyncCall(methodCall(QStringLiteral("Notify"),
                                   {request.appName, uint{0}, request.iconName, request.summary,
                                    request.body, actions, hints, ServerDefaultTimeout}),
                        callTimeoutMs),
        this);
    connect(
        watcher, &QDBusPendingCallWatcher::finished, this,
        [this, handle](QDBusPendingCallWatcher* answered) { onNotifyAnswered(handle, answered); });
    return handle;
}

void DBusNotifier::onNotifyAnswered(quint32 handle, QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    const bool withdrawn = m_waiting.take(handle);
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
        emit closed(handle, NotificationCloseReason::Undefined);
        return;
    }
    const quint32 id = reply.value();
    m_handleOfId.insert(id, handle);
    if (withdrawn)
        closeOnService(id);
}

void DBusNotifier::withdraw(quint32 handle)
{
    if (const auto waiting = m_waiting.find(handle); waiting != m_waiting.end()) {
        *waiting = true; // closed once the service tells its id
        return;
    }
    // Only our own: the ids of other programs' notifications come through the signals too.
    for (auto shown = m_handleOfId.cbegin(); shown != m_handleOfId.cend(); ++shown) {
        if (shown.value() == handle) {
            closeOnService(shown.key());
            return;
        }
    }
}

void DBusNotifier::closeOnService(quint32 id)
{
    // The service confirms with NotificationClosed; no need to wait for its answer.
    m_bus.send(methodCall(QStringLiteral("CloseNotification"), {id}));
}

bool DBusNotifier::supportsActions()
{
    return m_actions;
}

void DBusNotifier::onActionInvoked(uint id, const QString& actionKey)
{
    if (const auto handle = m_handleOfId.constFind(id); handle != m_handleOfId.constEnd())
        emit actionInvoked(*handle, actionKey);
}

void DBusNotifier::onNotificationClosed(uint id, uint reason)
{
    const auto handle = m_handleOfId.find(id);
    if (handle == m_handleOfId.end())
        return;
    const quint32 closedHandle = *handle;
    m_handleOfId.erase(handle);
    const auto known = reason >= 1 && reason <= 4 ? static_cast<NotificationCloseReason>(reason)
                                                  : NotificationCloseReason::Undefined;
    emit closed(closedHandle, known);
}

#include "DBusNotifier.moc"
