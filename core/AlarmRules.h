#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

/// The clock texts a tick compares against, taken once per tick.
struct ClockTexts
{
    QString year;       // four digits
    QString month;      // two digits
    QString day;        // two digits
    QString time;       // "HH:mm:ss"
    QString today;         // the short date text, "dd.MM.yyyy"
    qint64 wallSecond = 0; // the local wall-clock reading as a count of seconds
};

namespace AlarmRules {

[[nodiscard]] ClockTexts decodeNow(const QDateTime& now);

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

} // namespace AlarmRules
