#pragma once

#include <QByteArray>
#include <QDate>
#include <QTime>
#include <optional>

/// How an event repeats, and when it falls next. Everything here reads the local wall clock as
/// its texts show it: a daily 02:30 stays at 02:30, whatever the zone's offset does.
namespace RepeatRules {

enum class Kind
{
    Once,
    Daily,
    Weekdays, // Monday to Friday
    Weekly,
    Monthly,
    Yearly,
};

/// The kind the events file's word names, in any language the same; an empty or unknown word
/// is Once.
[[nodiscard]] Kind kindOf(const QByteArray& word);

/// The word the events file stores for a kind; empty for Once.
[[nodiscard]] QByteArray wordOf(Kind kind);

/// The first occurrence that lies after now (strictly), of an event that repeats by kind from
/// date at time, that day included. day is the day of the month a monthly or yearly event was
/// set for (0: the date's own): it falls on the last day of shorter months. Nothing for Once or
/// an invalid date or time.
[[nodiscard]] std::optional<QDate> nextDate(Kind kind, QDate date, QTime time, int day,
                                            QDate nowDate, QTime nowTime);

} // namespace RepeatRules
