#include "ui/AlarmNotifications.h"

#include "platform/MessageBoxes.h"
#include "platform/Notifier.h"
#include "ui/LanguageTable.h"

#include <QStringList>
#include <algorithm>
#include <utility>

namespace {
const QString kDefaultAction = QStringLiteral("default");
const QString kSnooze5 = QStringLiteral("snooze-5");
const QString kSnooze15 = QStringLiteral("snooze-15");
// A bubble has room for a few lines; the box beside it lists the rest.
constexpr int kListedInBody = 5;

/// A body listing count events, one a line under its heading paragraph, cut to the first
/// kListedInBody of them and andMore.
QString listedAtMost(const QString& body, int count, const QString& andMore)
{
    if (count <= kListedInBody)
        return body;
    const qsizetype split = body.indexOf(QStringLiteral("\n\n"));
    const qsizetype listStart = split < 0 ? 0 : split + 2;
    QStringList lines = body.mid(listStart).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.resize(std::min<qsizetype>(lines.size(), kListedInBody));
    lines << andMore.arg(count - kListedInBody);
    return body.left(listStart) + lines.join(QLatin1Char('\n'));
}
} // namespace

AlarmNotifications::AlarmNotifications(Notifier& notifier, MessageBoxes& boxes, ReminderBook& book,
                                       std::function<void()> restoreWindow, QObject* parent)
    : QObject(parent), m_notifier(notifier), m_boxes(boxes), m_book(book),
      m_restoreWindow(std::move(restoreWindow))
{
    connect(&m_notifier, &Notifier::actionInvoked, this, &AlarmNotifications::onAction);
    connect(&m_notifier, &Notifier::closed, this, [this](quint32 id) { m_snoozable.remove(id); });
}

std::optional<quint32> AlarmNotifications::notify(const DueEvents& events, const QString& body,
                                                  bool critical, const QString& boxText)
{
    if (!m_book.settings().notify || events.events.empty())
        return std::nullopt;
    const Event& first = events.events.front();
    const auto count = static_cast<int>(events.events.size());
    NotificationRequest request;
    request.appName = QStringLiteral("Dorvane");
    request.iconName = QStringLiteral("dorvane");
    request.summary =
        count > 1 ? m_moreEvents.arg(first.title, QString::number(count - 1)) : first.title;
    // An alarm's body is its message; the passed events' body is their list.
    request.body = critical ? body : listedAtMost(body, count, m_andMore);
    request.critical = critical;
    request.actions.append({kDefaultAction, QString()});
    const bool snoozable = critical && m_notifier.supportsActions();
    if (snoozable) {
        request.actions.append({kSnooze5, m_snooze5});
        request.actions.append({kSnooze15, m_snooze15});
    }
    const auto id = m_notifier.notify(request);
    if (id && snoozable)
        m_snoozable.insert(*id, {events, boxText});
    return id;
}

void AlarmNotifications::withdraw(std::optional<quint32> id)
{
    if (!id)
        return;
    m_snoozable.remove(*id);
    m_notifier.withdraw(*id);
}

void AlarmNotifications::applyLanguage(const LanguageFile& file)
{
    ::applyLanguage(
        file, {bindText("StringMoreEvents", m_moreEvents), bindText("StringAndMore", m_andMore),
               bindText("StringSnooze5", m_snooze5), bindText("StringSnooze15", m_snooze15)});
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
    m_book.snooze(snoozed.due, minutes);
    m_boxes.closeMessage(snoozed.boxText);
}
