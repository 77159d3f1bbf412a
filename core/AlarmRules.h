#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

/// The clock texts a tick compares against, taken once per tick.
struct ClockTexts
{
    QString year;          // four digits
    QString month;         // two digits
    QString day;           // two digits
    QString time;          // "HH:mm:ss"
    QString today;         // the short date text, "dd.MM.yyyy"
    qint64 wallSecond = 0; // the local wall-clock reading as a count of seconds
};

namespace AlarmRules {

/// The texts of a clock reading that the rows are compared with.
[[nodiscard]] ClockTexts clockTexts(const QDateTime& now);

/// The wall-clock second a clock reading falls in, as ClockTexts::wallSecond counts it.
[[nodiscard]] qint64 wallSecondOf(const QDateTime& now);

/// The time text lowered by one second ("00:00:00" stays). Without digits in the places of
/// hours, minutes and seconds the text comes back unchanged.
[[nodiscard]] QString countDown(const QString& timeText);

/// True when a row's date (and, for today, its time) lies before the clock. Texts are taken by
/// character position, compared byte-wise.
[[nodiscard]] bool isPassed(const QString& dateText, const QString& timeText,
                            const ClockTexts& now);

/// The local wall-clock second of a well-formed "dd.MM.yyyy" date and "HH:mm:ss" time, as a
/// count of seconds on the same scale as ClockTexts::wallSecond. Nothing for any other text.
[[nodiscard]] std::optional<qint64> wallSecond(const QString& dateText, const QString& timeText);

/// What one tick does with one row.
enum class TickAction
{
    Nothing,
    CountDown, // an active countdown runs down by one second
    Deliver,   // the row falls due now: mark it done and raise its alarm
};

/// The tick's decision for one row, from the row's texts as shown. A clock event falls due in
/// its second or, after a late tick, in any second skipped since previousSecond; a countdown
/// falls due on its date once it shows zero. Only active rows are delivered or run down.
[[nodiscard]] TickAction tickAction(const QString& dateText, const QString& timeText, bool active,
                                    bool countdown, const ClockTexts& now, qint64 previousSecond);

/// True for an active clock event whose moment lies before the clock: reported as passed at
/// start-up.
[[nodiscard]] bool passedWhileAway(const QString& dateText, const QString& timeText, bool active,
                                   bool countdown, const ClockTexts& now);

/// The line that names an event in the alarm and passed-events messages.
[[nodiscard]] QString eventLine(const QString& dateText, const QString& timeText,
                                const QString& title);

} // namespace AlarmRules
