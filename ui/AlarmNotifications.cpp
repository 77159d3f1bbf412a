#include "ui/AlarmNotifications.h"

#include "core/ReminderBook.h"
#include "platform/MessageBoxes.h"
#include "platform/Notifier.h"

#include <utility>

namespace {
const QString kDefaultAction = QStringLiteral("default");
const QString kSnooze5 = QStringLiteral("snooze-5");
const QString kSnooze15 = QStringLiteral("snooze-15");
} // namespace

AlarmNotifications::AlarmNotifications(Notifier& notifier, MessageBoxes& boxes, ReminderBook& book,
                                       std::function<void()> restoreWindow, QObject* parent)
    : QObject(parent), m_notifier(notifier), m_boxes(boxes), m_book(book),
      m_restoreWindow(std::move(restoreWindow))
{
    connect(&m_notifier, &Notifier::actionInvoked, this, &AlarmNotifications::onAction);
    connect(&m_notifier, &Notifier::closed, this, [this](quint32 id) { m_snoozable.remove(id); });
}

std::optional<quint32> AlarmNotifications::notify(const Event& first, int count,
                                                  const QString& body, bool critical,
                                                  const QString& boxText)
{
    if (!m_book.settings().notify)
        return std::nullopt;
    NotificationRequest request;
    request.appName = QStringLiteral("Dorvane");
    request.iconName = QStringLiteral("dorvane");
    request.summary =
        count > 1 ? QStringLiteral("%1 +%2 more").arg(first.title).arg(count - 1) : first.title;
    request.body = body;
    request.critical = critical;
    request.actions.append({kDefaultAction, QString()});
    const bool snoozable = critical && count == 1 && m_notifier.supportsActions();
    if (snoozable) {
        request.actions.append({kSnooze5, QStringLiteral("Snooze 5 min")});
        request.actions.append({kSnooze15, QStringLiteral("Snooze 15 min")});
    }
    const auto id = m_notifier.notify(request);
    if (id && snoozable)
        m_snoozable.insert(*id, {first, boxText});
    return id;
}

void AlarmNotifications::withdraw(std::optional<quint32> id)
{
    if (!id)
        return;
    m_snoozable.remove(*id);
    m_notifier.withdraw(*id);
}

void AlarmNotifications::onAction(quint32 id, const QString& key)
{
    if (key == kDefaultAction) {
        m_restoreWindow();
        return;
    }
    const int minutes = key == kSnooze5 ? 5 : key == kSnooze15 ? 15 : 0;
    const auto pending = m_snoozable.constFind(id);
    if (minutes == 0 || pending == m_snoozable.constEnd())
        return;
    const Snoozable snoozed = *pending;
    m_snoozable.erase(pending);
    m_book.snooze(snoozed.event, minutes);
    m_boxes.closeMessage(snoozed.boxText);
}
