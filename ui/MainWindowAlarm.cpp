// What the reminder book finds at its tick and at start-up, shown: the message box first, then
// the sounds, the extra files and the notification, then the save (its error after them).
#include "core/AlarmDelivery.h"
#include "core/ReminderBook.h"
#include "platform/MessageBoxes.h"
#include "ui/AlarmNotifications.h"
#include "ui/MainWindow.h"

#include <optional>
#include <utility>

void MainWindow::showAlarm(const DueEvents& due)
{
    restoreFromTray();
    std::optional<quint32> notification;
    const SnoozeChoice snooze{m_snoozeButton, m_snoozeEntry, {5, 10, 15, 30, 60}, 10};
    // The box first, the moment it is due; everything else follows at once, in row order.
    const int snoozed =
        m_services.boxes.showSnoozableAlarm(this, m_applicationTitle, due.text, snooze, [&] {
            deliverThenSave([&] {
                for (const Event& event : due.events) {
                    if (m_book.settings().soundPlay)
                        m_services.delivery.startSound(event);
                    m_services.delivery.openExtraFile(event);
                }
                notification =
                    m_notifications->notify(due, due.events.front().message, true, due.text);
            });
        });
    m_notifications->withdraw(notification);
    if (snoozed > 0)
        m_book.snooze(due, snoozed);
    m_services.delivery.afterMessage();
    for (const QString& error : m_services.delivery.takeErrors())
        showError(error);
}

void MainWindow::showPassed(const DueEvents& passed)
{
    m_passedReported = true;
    const QString text = m_strings.passed + QStringLiteral("\r\r") + passed.text;
    std::optional<quint32> notification;
    m_services.boxes.showAlarm(this, m_applicationTitle, text, [&] {
        deliverThenSave([&] {
            notification = m_notifications->notify(
                passed, QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')), false, text);
        });
    });
    m_notifications->withdraw(notification);
}

void MainWindow::deliverThenSave(const std::function<void()>& deliver)
{
    // Errors wait until the delivery has started; a nested alarm (a tick under a box the
    // delivery opens) holds its own.
    QStringList held;
    QStringList* const outer = std::exchange(m_heldErrors, &held);
    deliver();
    // Written while the message is still open: a crash then must not bring the alarm back.
    m_book.saveUnsaved();
    m_heldErrors = outer;
    for (const QString& error : held)
        showError(error);
}
