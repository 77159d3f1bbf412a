#include "core/AlarmRules.h"

namespace {

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

bool digitsAt(const QString& text, qsizetype from, qsizetype count)
{
    if (text.size() < from + count)
        return false;
    for (qsizetype i = from; i < from + count; ++i)
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return false;
    return true;
}

// Wall-clock seconds ignore the zone's offset: a skipped hour lies between the two ticks around
// the jump, and a repeated hour makes the clock go back instead of matching twice.
qint64 wallSeconds(QDate date, QTime time)
{
    return QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
}

} // namespace

namespace AlarmRules {

ClockTexts clockTexts(const QDateTime& now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    ClockTexts t;
    t.year = QString::number(date.year());
    t.month = twoDigits(date.month());
    t.day = twoDigits(date.day());
    t.time = twoDigits(time.hour()) + QLatin1Char(':') + twoDigits(time.minute()) +
             QLatin1Char(':') + twoDigits(time.second());
    t.today = t.day + QLatin1Char('.') + t.month + QLatin1Char('.') +
              QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
    t.wallSecond = wallSecondOf(now);
    return t;
}

qint64 wallSecondOf(const QDateTime& now)
{
    const QTime time = now.time();
    return wallSeconds(now.date(), QTime(time.hour(), time.minute(), time.second()));
}

QString countDown(const QString& timeText)
{
    if (!digitsAt(timeText, 0, 2) || !digitsAt(timeText, 3, 2) || !digitsAt(timeText, 6, 2))
        return timeText;
    int hours = timeText.mid(0, 2).toInt();
    int minutes = timeText.mid(3, 2).toInt();
    int seconds = timeText.mid(6, 2).toInt();
    if (seconds > 0) {
        --seconds;
    } else if (minutes > 0) {
        --minutes;
        seconds = 59;
    } else if (hours > 0) {
        --hours;
        minutes = 59;
        seconds = 59;
    }
    return twoDigits(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':') +
           twoDigits(seconds);
}

bool isPassed(const QString& dateText, const QString& timeText, const ClockTexts& now)
{
    // Views, not copies: the start-up check runs over every row.
    const QStringView date(dateText);
    const QStringView day = date.mid(0, 2);
    const QStringView month = date.mid(3, 2);
    const QStringView year = date.mid(6, 4);
    // Comparisons go by UTF-16 code units: byte order for the ASCII texts in play.
    if (year < QStringView(now.year))
        return true;
    if (year == now.year && month < QStringView(now.month))
        return true;
    if (year == now.year && month == now.month && day < QStringView(now.day))
        return true;
    return dateText == now.today && timeText < now.time;
}

std::optional<qint64> wallSecond(const QString& dateText, const QString& timeText)
{
    if (dateText.size() != 10 || timeText.size() != 8)
        return std::nullopt;
    if (!digitsAt(dateText, 0, 2) || !digitsAt(dateText, 3, 2) || !digitsAt(dateText, 6, 4) ||
        dateText[2] != QLatin1Char('.') || dateText[5] != QLatin1Char('.'))
        return std::nullopt;
    if (!digitsAt(timeText, 0, 2) || !digitsAt(timeText, 3, 2) || !digitsAt(timeText, 6, 2) ||
        timeText[2] != QLatin1Char(':') || timeText[5] != QLatin1Char(':'))
        return std::nullopt;
    const QDate date(dateText.mid(6, 4).toInt(), dateText.mid(3, 2).toInt(),
                     dateText.mid(0, 2).toInt());
    const QTime time(timeText.mid(0, 2).toInt(), timeText.mid(3, 2).toInt(),
                     timeText.mid(6, 2).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return wallSeconds(date, time);
}

TickAction tickAction(const QString& dateText, const QString& timeText, bool active, bool countdown,
                      const ClockTexts& now, qint64 previousSecond)
{
    if (!active)
        return TickAction::Nothing;
    if (countdown) {
        if (dateText == now.today && timeText == QLatin1String("00:00:00"))
            return TickAction::Deliver;
        return TickAction::CountDown;
    }
    if (dateText == now.today && timeText == now.time)
        return TickAction::Deliver;
    // A late or skipped tick (busy machine, suspend) leaves seconds unchecked: their events are
    // delivered now. Normally the window between two ticks is empty.
    if (now.wallSecond - previousSecond >= 2) {
        const auto second = wallSecond(dateText, timeText);
        if (second && *second > previousSecond && *second < now.wallSecond)
            return TickAction::Deliver;
    }
    return TickAction::Nothing;
}

bool passedWhileAway(const QString& dateText, const QString& timeText, bool active, bool countdown,
                     const ClockTexts& now)
{
    return active && !countdown && isPassed(dateText, timeText, now);
}

QString eventLine(const QString& dateText, const QString& timeText, const QString& title)
{
    static const QString separator = QStringLiteral(" - ");
    return dateText + separator + timeText + separator + title;
}

} // namespace AlarmRules
