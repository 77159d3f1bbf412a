// Desktop notifications beside the alarm and passed-events boxes: they show where the window
// cannot come to the front by itself, bring it back when clicked, and snooze a single alarm.
#include "core/AlarmRules.h"
#include "core/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/Notifier.h"
#include "ui/MainWindow.h"

namespace {
const QString kDefaultAction = QStringLiteral("default");
const QString kSnooze5 = QStringLiteral("snooze-5");
const QString kSnooze15 = QStringLiteral("snooze-15");
} // namespace

std::optional<quint32> MainWindow::notifyAlarm(const Event& first, int count, const QString& body,
                                               bool critical, const QString& boxText)
{
    if (!m_notify)
        return std::nullopt;
    NotificationRequest request;
    request.appName = QStringLiteral("Dorvane");
    request.iconName = QStringLiteral("dorvane");
    request.summary =
        count > 1 ? QStringLiteral("%1 +%2 more").arg(first.title).arg(count - 1) : first.title;
    request.body = body;
    request.critical = critical;
    request.actions.append({kDefaultAction, QString()});
    const bool snoozable = critical && count == 1 && m_services.notifier.supportsActions();
    if (snoozable) {
        request.actions.append({kSnooze5, QStringLiteral("Snooze 5 min")});
        request.actions.append({kSnooze15, QStringLiteral("Snooze 15 min")});
    }
    const auto id = m_services.notifier.notify(request);
    if (id && snoozable)
        m_snoozable.insert(*id, {first, boxText});
    return id;
}

void MainWindow::withdrawNotification(std::optional<quint32> id)
{
    if (!id)
        return;
    m_snoozable.remove(*id);
    m_services.notifier.withdraw(*id);
}

void MainWindow::onNotificationAction(quint32 id, const QString& key)
{
    if (key == kDefaultAction) {
        restoreFromTray();
        return;
    }
    const int minutes = key == kSnooze5 ? 5 : key == kSnooze15 ? 15 : 0;
    const auto pending = m_snoozable.constFind(id);
    if (minutes == 0 || pending == m_snoozable.constEnd())
        return;
    // The snoozed alarm is an ordinary new event: any earlier version can read it.
    Event again = pending->event;
    const ClockTexts due =
        AlarmRules::decodeNow(m_services.clock.now().addSecs(qint64{minutes} * 60));
    again.date = due.today;
    again.time = due.time;
    again.countdown = false;
    again.status = m_strings.active;
    const QString boxText = pending->boxText;
    m_snoozable.erase(pending);
    appendEvent(std::move(again));
    saveEventsAndSettings();
    m_services.boxes.closeMessage(boxText);
}
