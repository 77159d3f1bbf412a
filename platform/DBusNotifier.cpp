#include "platform/DBusNotifier.h"

#include <QDBusAbstractInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr char Interface[] = "org.freedesktop.Notifications";
const QString DesktopEntry = QStringLiteral("dorvane");

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
}

DBusNotifier::~DBusNotifier() = default;

QDBusMessage DBusNotifier::methodCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, ObjectPath, QString::fromLatin1(Interface), method);
    call.setArguments(arguments);
    return call;
}

std::optional<quint32> DBusNotifier::notify(const NotificationRequest& request)
{
    if (!m_bus.isConnected())
        return std::nullopt;
    QStringList actions;
    for (const NotificationAction& action : request.actions)
        actions << action.key << action.label;
    const QVariantMap hints{
        {QStringLiteral("urgency"),
         QVariant::fromValue(request.critical ? CriticalUrgency : NormalUrgency)},
        {QStringLiteral("desktop-entry"), DesktopEntry},
    };
    const QDBusReply<uint> reply =
        m_bus.call(methodCall(QStringLiteral("Notify"),
                              {request.appName, uint{0}, request.iconName, request.summary,
                               request.body, actions, hints, ServerDefaultTimeout}),
                   QDBus::Block, callTimeoutMs);
    if (!reply.isValid())
        return std::nullopt;
    m_shown.insert(reply.value());
    return reply.value();
}

void DBusNotifier::withdraw(quint32 id)
{
    // Only our own: the ids of other programs' notifications come through the signals too.
    if (!m_shown.contains(id))
        return;
    // The service confirms with NotificationClosed; no need to wait for its answer.
    m_bus.send(methodCall(QStringLiteral("CloseNotification"), {id}));
}

bool DBusNotifier::supportsActions()
{
    if (!m_bus.isConnected())
        return false;
    const QDBusReply<QStringList> reply =
        m_bus.call(methodCall(QStringLiteral("GetCapabilities"), {}), QDBus::Block, callTimeoutMs);
    return reply.isValid() && reply.value().contains(QStringLiteral("actions"));
}

void DBusNotifier::onActionInvoked(uint id, const QString& actionKey)
{
    if (m_shown.contains(id))
        emit actionInvoked(id, actionKey);
}

void DBusNotifier::onNotificationClosed(uint id, uint reason)
{
    if (!m_shown.remove(id))
        return;
    const auto known = reason >= 1 && reason <= 4 ? static_cast<NotificationCloseReason>(reason)
                                                  : NotificationCloseReason::Undefined;
    emit closed(id, known);
}

#include "DBusNotifier.moc"
