#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <functional>
#include <variant>

class Clock;
class QDBusArgument;
class ReminderBook;
struct Event;

/// One event as List() gives it: (date, time, title, message, status).
struct ReminderEntry
{
    QString date;
    QString time;
    QString title;
    QString message;
    QString status;
};
QDBusArgument& operator<<(QDBusArgument& argument, const ReminderEntry& entry);
const QDBusArgument& operator>>(const QDBusArgument& argument, ReminderEntry& entry);
Q_DECLARE_METATYPE(ReminderEntry)

/// Adds an event to the book, which saves it at once: its row, or why it could not be saved.
[[nodiscard]] std::variant<int, QString> addToBook(ReminderBook& book, Event event);

/// The reminders on the session bus for other programs: org.dorvane.Dorvane owns
/// /org/dorvane/Dorvane with the interface org.dorvane.Reminders. Nothing waits for the bus:
/// the name is asked for asynchronously, and without a bus nothing happens at all.
class ReminderService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.dorvane.Reminders")
public:
    static constexpr int callTimeoutMs = 5000;

    /// show brings the window back; defaultSound is what added events play.
    ReminderService(ReminderBook& book, Clock& clock, QString defaultSound,
                    std::function<void()> show,
                    const QDBusConnection& bus = QDBusConnection::sessionBus(),
                    QObject* parent = nullptr);
    ~ReminderService() override;

    /// Puts the object on the bus and asks for the name; false without a bus or when the object
    /// path is taken in this process.
    bool start();

public slots: // NOLINT(readability-redundant-access-specifiers): the exported methods
    /// A new active event at unix_time; its index in the list.
    int Add(const QString& title, const QString& message, qlonglong unixTime);
    /// Every event, in the list's order.
    QList<ReminderEntry> List();
    /// Brings the main window back.
    void Show();

signals:
    /// An event's alarm went off.
    void AlarmFired(const QString& title);

private:
    ReminderBook& m_book;
    Clock& m_clock;
    QString m_defaultSound;
    std::function<void()> m_show;
    QDBusConnection m_bus;
    bool m_registered = false;
};
