// The alarm timer: the once-a-second check of the rows, countdowns, and the start-up check of
// events that passed while the program was not running.
#include "app/AlarmDelivery.h"
#include "app/Dorvane1.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"

namespace {
const QString kSeparator = QStringLiteral(" - ");
const QString kZeroTime = QStringLiteral("00:00:00");
} // namespace

void TForm1::DecodeNow()
{
    m_now = AlarmRules::decodeNow(m_services.clock.now());
    NowYear = m_now.NowYear;
    NowMonth = m_now.NowMonth;
    NowDay = m_now.NowDay;
    NowTime = m_now.NowTime;
}

void TForm1::CountDownRow(int row)
{
    const QString& time = Rows->cell(row, EventRows::ColTime);
    const QString lowered = AlarmRules::countDown(time);
    if (lowered != time)
        Rows->setCell(row, EventRows::ColTime, lowered);
}

void TForm1::markDone(int row)
{
    // The row and the record change together; the row repaints in its new colour.
    Rows->setCell(row, EventRows::ColStatus, Strings.StringDone);
    EventList[static_cast<std::size_t>(row)].Status = Strings.StringDone;
}

void TForm1::Timer1Timer()
{
    AlarmText.clear();
    AlarmCount = 0;
    DecodeNow();
    // The tick works on copies: starting a sound may show a box, under which later ticks run
    // and start over with the members.
    const ClockTexts now = m_now;
    QString text;
    int count = 0;

    // A late or skipped tick (busy machine, suspend) leaves seconds unchecked: clock events of
    // those seconds are delivered now. Normally the window between the ticks is empty.
    const qint64 previous = m_previousTickSecond;
    m_previousTickSecond = now.WallSecond;
    const bool catchUp = now.WallSecond - previous >= 2;

    const int rows = Rows->count();
    for (int row = 0; row < rows; ++row) {
        const Events& record = EventList[static_cast<std::size_t>(row)];
        const QString& date = Rows->cell(row, EventRows::ColDate);
        const QString& time = Rows->cell(row, EventRows::ColTime);
        const bool active = Rows->cell(row, EventRows::ColStatus) == Strings.StringActive;
        bool due = false;
        if (!record.Countdown) {
            due = date == now.Today && time == now.NowTime;
            if (!due && catchUp && active) {
                const auto second = AlarmRules::wallSecond(date, time);
                due = second && *second > previous && *second < now.WallSecond;
            }
        } else if (date == now.Today && time == kZeroTime) {
            due = true;
        } else if (active) {
            CountDownRow(row);
        }
        if (!due || !active)
            continue;

        ++count;
        markDone(row);
        text += date + kSeparator + time + kSeparator + Rows->cell(row, EventRows::ColTitle) +
                QStringLiteral("\r\r") + Rows->cell(row, EventRows::ColMessage) +
                QStringLiteral("\r\r");
        AlarmText = text;
        AlarmCount = count;
        if (SoundPlay)
            m_services.delivery.startSound(record);
        m_services.delivery.openExtraFile(record);
    }

    if (count == 0)
        return;
    AlarmText = text;
    AlarmCount = count;
    // Written before the message: a crash while it is open must not bring the alarm back.
    SaveEventsAndSettings();
    PRestoreClick();
    m_services.boxes.showMessage(this, m_applicationTitle, text);
    m_services.delivery.afterMessage();
    for (const QString& error : m_services.delivery.takeErrors())
        showError(error);
}

void TForm1::CheckPassedEvents()
{
    AlarmText.clear();
    DecodeNow();
    AlarmCount = 0;
    const int rows = Rows->count();
    for (int row = 0; row < rows; ++row) {
        if (EventList[static_cast<std::size_t>(row)].Countdown)
            continue;
        const QString& date = Rows->cell(row, EventRows::ColDate);
        const QString& time = Rows->cell(row, EventRows::ColTime);
        if (!AlarmRules::isPassed(date, time, m_now) ||
            Rows->cell(row, EventRows::ColStatus) != Strings.StringActive)
            continue;
        ++AlarmCount;
        markDone(row);
        AlarmText += date + kSeparator + time + kSeparator + Rows->cell(row, EventRows::ColTitle) +
                     QLatin1Char('\r');
    }
    if (AlarmCount == 0)
        return;
    AlarmText = Strings.StringPassed + QStringLiteral("\r\r") + AlarmText;
    const QString text = AlarmText;
    SaveEventsAndSettings();
    m_services.boxes.showMessage(this, m_applicationTitle, text);
}
