// The alarm timer: the once-a-second check of the rows, countdowns, and the start-up check of
// events that passed while the program was not running.
#include "core/AlarmDelivery.h"
#include "ui/MainWindow.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"

namespace {
const QString kSeparator = QStringLiteral(" - ");
const QString kZeroTime = QStringLiteral("00:00:00");
} // namespace

void MainWindow::readClock()
{
    m_now = AlarmRules::decodeNow(m_services.clock.now());
}

void MainWindow::countDownRow(int row)
{
    const QString& time = m_model->cell(row, EventTableModel::TimeColumn);
    const QString lowered = AlarmRules::countDown(time);
    if (lowered != time)
        m_model->setCell(row, EventTableModel::TimeColumn, lowered);
}

void MainWindow::markDone(int row)
{
    // The row and the record change together; the row repaints in its new colour.
    m_model->setCell(row, EventTableModel::StatusColumn, m_strings.done);
    m_events[static_cast<std::size_t>(row)].status = m_strings.done;
}

void MainWindow::onTick()
{
    m_alarmText.clear();
    m_alarmCount = 0;
    readClock();
    // The tick works on copies: starting a sound may show a box, under which later ticks run
    // and start over with the members.
    const ClockTexts now = m_now;
    QString text;
    int count = 0;

    // A late or skipped tick (busy machine, suspend) leaves seconds unchecked: clock events of
    // those seconds are delivered now. Normally the window between the ticks is empty.
    const qint64 previous = m_previousTickSecond;
    m_previousTickSecond = now.wallSecond;
    const bool catchUp = now.wallSecond - previous >= 2;

    const int rows = m_model->count();
    for (int row = 0; row < rows; ++row) {
        const Event& record = m_events[static_cast<std::size_t>(row)];
        const QString& date = m_model->cell(row, EventTableModel::DateColumn);
        const QString& time = m_model->cell(row, EventTableModel::TimeColumn);
        const bool active = m_model->cell(row, EventTableModel::StatusColumn) == m_strings.active;
        bool due = false;
        if (!record.countdown) {
            due = date == now.today && time == now.time;
            if (!due && catchUp && active) {
                const auto second = AlarmRules::wallSecond(date, time);
                due = second && *second > previous && *second < now.wallSecond;
            }
        } else if (date == now.today && time == kZeroTime) {
            due = true;
        } else if (active) {
            countDownRow(row);
        }
        if (!due || !active)
            continue;

        ++count;
        markDone(row);
        text += date + kSeparator + time + kSeparator + m_model->cell(row, EventTableModel::TitleColumn) +
                QStringLiteral("\r\r") + m_model->cell(row, EventTableModel::MessageColumn) +
                QStringLiteral("\r\r");
        m_alarmText = text;
        m_alarmCount = count;
        if (m_soundPlay)
            m_services.delivery.startSound(record);
        m_services.delivery.openExtraFile(record);
    }

    if (count == 0)
        return;
    m_alarmText = text;
    m_alarmCount = count;
    // Written before the message: a crash while it is open must not bring the alarm back.
    saveEventsAndSettings();
    restoreFromTray();
    m_services.boxes.showMessage(this, m_applicationTitle, text);
    m_services.delivery.afterMessage();
    for (const QString& error : m_services.delivery.takeErrors())
        showError(error);
}

void MainWindow::reportPassedEvents()
{
    m_alarmText.clear();
    readClock();
    m_alarmCount = 0;
    const int rows = m_model->count();
    for (int row = 0; row < rows; ++row) {
        if (m_events[static_cast<std::size_t>(row)].countdown)
            continue;
        const QString& date = m_model->cell(row, EventTableModel::DateColumn);
        const QString& time = m_model->cell(row, EventTableModel::TimeColumn);
        if (!AlarmRules::isPassed(date, time, m_now) ||
            m_model->cell(row, EventTableModel::StatusColumn) != m_strings.active)
            continue;
        ++m_alarmCount;
        markDone(row);
        m_alarmText += date + kSeparator + time + kSeparator + m_model->cell(row, EventTableModel::TitleColumn) +
                     QLatin1Char('\r');
    }
    if (m_alarmCount == 0)
        return;
    m_alarmText = m_strings.passed + QStringLiteral("\r\r") + m_alarmText;
    const QString text = m_alarmText;
    saveEventsAndSettings();
    m_services.boxes.showMessage(this, m_applicationTitle, text);
}
