#include "platform/ReminderService.h"

#include "base/Logging.h"
#include "core/Clock.h"
#include "core/CommandLine.h"
#include "core/ReminderBook.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <utility>

namespace {

const QString Service = QStringLiteral("org.dorvane.Dorvane");
const QString ObjectPath = QStringLiteral("/org/dorvane/Dorvane");
const QString NotReady = QStringLiteral("org.dorvane.Reminders.Error.NotReady");
const QString SaveFailed = QStringLiteral("org.dorvane.Reminders.Error.SaveFailed");
// RequestName's flag: a second instance does not wait in line for the name.
constexpr uint DoNotQueue = 4;
constexpr uint PrimaryOwner = 1;

} // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const ReminderEntry& entry)
{
    argument.beginStructure();
    argument << entry.date << entry.time << entry.title << entry.message << entry.status;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ReminderEntry& entry)
{
    argument.beginStructure();
    argument >> entry.date >> entry.time >> entry.title >> entry.message >> entry.status;
    argument.endStructure();
    return argument;
}

std::variant<int, QString> addToBook(ReminderBook& book, Event event)
{
    QString failure;
    const QMetaObject::Connection told =
        QObject::connect(&book, &ReminderBook::saveFailed, &book,
                         [&failure](const QString& message) { failure = message; });
    book.add(std::move(event));
    QObject::disconnect(told);
    if (!failure.isEmpty())
        return failure;
    return book.count() - 1;
}

ReminderService::ReminderService(ReminderBook& book, Clock& clock, QString defaultSound,
                                 std::function<void()> show, const QDBusConnection& bus,
                                 QObject* parent)
    : QObject(parent), m_book(book), m_clock(clock), m_defaultSound(std::move(defaultSound)),
      m_show(std::move(show)), m_bus(bus)
{
    qDBusRegisterMetaType<ReminderEntry>();
    qDBusRegisterMetaType<QList<ReminderEntry>>();
    connect(&m_book, &ReminderBook::alarmsDue, this, [this](const DueEvents& due) {
        for (const Event& event : due.events)
            emit AlarmFired(event.title);
    });
}

ReminderService::~ReminderService()
{
    if (m_registered)
        m_bus.unregisterObject(ObjectPath);
}

bool ReminderService::start()
{
    if (!m_bus.isConnected())
        return false;
    // Local to this process: nothing goes over the bus here.
    m_registered = m_bus.registerObject(
        ObjectPath, this, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
    if (!m_registered)
        return false;
    // registerService() would wait for the bus's answer on this thread.
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
    request << Service << DoNotQueue;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(request, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [](QDBusPendingCallWatcher* answered) {
                answered->deleteLater();
                const QDBusPendingReply<uint> reply = *answered;
                if (reply.isError())
                    qCWarning(lcDesktop, "Cannot own %s on the session bus: %s",
                              qUtf8Printable(Service), qUtf8Printable(reply.error().message()));
                else if (reply.value() != PrimaryOwner)
                    qCInfo(lcDesktop, "%s is owned by another program", qUtf8Printable(Service));
            });
    return true;
}

int ReminderService::Add(const QString& title, const QString& message, qlonglong unixTime)
{
    if (!m_book.isOpen()) {
        sendErrorReply(NotReady, QStringLiteral("Dorvane is still starting"));
        return -1;
    }
    const QDateTime now = m_clock.now();
    const QDateTime due = QDateTime::fromSecsSinceEpoch(unixTime);
    QString problem = CommandLine::titleProblem(title);
    if (!problem.isEmpty())
        problem = QStringLiteral("title ") + problem;
    else if (problem = CommandLine::momentProblem(due, now); !problem.isEmpty())
        problem = QStringLiteral("unix_time %1 ").arg(unixTime) + problem;
    if (!problem.isEmpty()) {
        sendErrorReply(QDBusError::InvalidArgs, problem);
        return -1;
    }
    CommandLine::AddReminder add;
    add.title = title;
    add.message = message;
    add.due = due;
    const auto added =
        addToBook(m_book, CommandLine::newEvent(add, m_book.activeWord(), m_defaultSound));
    if (const auto* failure = std::get_if<QString>(&added)) {
        sendErrorReply(SaveFailed, *failure);
        return -1;
    }
    return std::get<int>(added);
}

QList<ReminderEntry> ReminderService::List()
{
    QList<ReminderEntry> entries;
    entries.reserve(m_book.count());
    for (int row = 0; row < m_book.count(); ++row) {
        const Event& event = m_book.at(row);
        entries.append(
            {event.date, m_book.shownTime(row), event.title, event.message, event.status});
    }
    return entries;
}

void ReminderService::Show()
{
    if (m_show)
        m_show();
}
