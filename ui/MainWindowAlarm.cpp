// The alarm timer: the once-a-second check of the rows, countdowns, and the start-up report of
// events that passed while the program was not running. What is due is decided in AlarmRules;
// here rows are marked, alarms delivered, the list saved and the message shown.
#include "core/AlarmDelivery.h"
#include "core/Clock.h"
#include "platform/MessageBoxes.h"
#include "ui/MainWindow.h"

#include <optional>
#include <vector>

namespace {
const QString kParagraph = QStringLiteral("\r\r");
// A box names at most this many events: one with thousands would take seconds to lay out and
// could not be read anyway. Every event is still marked and saved.
constexpr int kListedInBox = 30;

QString andMore(int count)
{
    return QStringLiteral("... and %1 more").arg(count - kListedInBox);
}
} // namespace

void MainWindow::countDownRow(int row)
{
    const QString& time = m_model->cell(row, EventTableModel::TimeColumn);
    const QString lowered = AlarmRules::countDown(time);
    if (lowered != time)
        m_model->setShownTime(row, lowered);
}

void MainWindow::markDone(int row)
{
    // The row repaints in its new colour.
    m_model->setStatus(row, m_strings.done);
}

void MainWindow::onTick()
{
    // Everything the tick needs is taken now, in locals: starting a sound may show a box, under
    // which later ticks run.
    const ClockTexts now = AlarmRules::decodeNow(m_services.clock.now());
    const qint64 previous = std::exchange(m_previousTickSecond, now.wallSecond);
    QString text;
    int count = 0;
    std::vector<Event> due;

    const int rows = m_model->count();
    for (int row = 0; row < rows; ++row) {
        const QString& date = m_model->cell(row, EventTableModel::DateColumn);
        const QString& time = m_model->cell(row, EventTableModel::TimeColumn);
        const bool active = m_model->cell(row, EventTableModel::StatusColumn) == m_strings.active;
        const Event& record = m_events[static_cast<std::size_t>(row)];
        switch (AlarmRules::tickAction(date, time, active, record.countdown, now, previous)) {
        case AlarmRules::TickAction::Nothing:
            continue;
        case AlarmRules::TickAction::CountDown:
            countDownRow(row);
            continue;
        case AlarmRules::TickAction::Deliver:
            break;
        }
        markDone(row);
        if (++count <= kListedInBox)
            text += AlarmRules::eventLine(date, time,
                                          m_model->cell(row, EventTableModel::TitleColumn)) +
                    kParagraph + m_model->cell(row, EventTableModel::MessageColumn) + kParagraph;
        due.push_back(record);
    }

    if (count == 0)
        return;
    if (count > kListedInBox)
        text += andMore(count);
    restoreFromTray();
    std::optional<quint32> notification;
    // The box first, the moment it is due; everything else follows at once, in row order.
    m_services.boxes.showAlarm(this, m_applicationTitle, text, [&] {
        // Written while the message is still open: a crash then must not bring the alarm back.
        saveEventsAndSettings();
        for (const Event& event : due) {
            if (m_soundPlay)
                m_services.delivery.startSound(event);
            m_services.delivery.openExtraFile(event);
        }
        notification = notifyAlarm(due.front(), count, due.front().message, true, text);
    });
    withdrawNotification(notification);
    m_services.delivery.afterMessage();
    for (const QString& error : m_services.delivery.takeErrors())
        showError(error);
}

void MainWindow::reportPassedEvents()
{
    const ClockTexts now = AlarmRules::decodeNow(m_services.clock.now());
    QString lines;
    int count = 0;
    Event first;
    const int rows = m_model->count();
    for (int row = 0; row < rows; ++row) {
        const QString& date = m_model->cell(row, EventTableModel::DateColumn);
        const QString& time = m_model->cell(row, EventTableModel::TimeColumn);
        const bool active = m_model->cell(row, EventTableModel::StatusColumn) == m_strings.active;
        if (!AlarmRules::passedWhileAway(date, time, active,
                                         m_events[static_cast<std::size_t>(row)].countdown, now))
            continue;
        markDone(row);
        if (count == 0)
            first = m_events[static_cast<std::size_t>(row)];
        if (++count <= kListedInBox)
            lines += AlarmRules::eventLine(date, time,
                                           m_model->cell(row, EventTableModel::TitleColumn)) +
                     QLatin1Char('\r');
    }
    if (count == 0)
        return;
    if (count > kListedInBox)
        lines += andMore(count) + QLatin1Char('\r');
    const QString text = m_strings.passed + kParagraph + lines;
    std::optional<quint32> notification;
    m_services.boxes.showAlarm(this, m_applicationTitle, text, [&] {
        saveEventsAndSettings();
        notification = notifyAlarm(
            first, count, QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')), false, text);
    });
    withdrawNotification(notification);
}
