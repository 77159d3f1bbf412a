#include "core/RepeatRules.h"

#include <algorithm>
#include <array>

namespace {

struct Word
{
    RepeatRules::Kind kind;
    const char* text;
};

// Stored as written here whatever the language: the file means the same to every user.
constexpr std::array<Word, 5> kWords{{{RepeatRules::Kind::Daily, "Daily"},
                                      {RepeatRules::Kind::Weekdays, "Weekdays"},
                                      {RepeatRules::Kind::Weekly, "Weekly"},
                                      {RepeatRules::Kind::Monthly, "Monthly"},
                                      {RepeatRules::Kind::Yearly, "Yearly"}}};

/// The day in that month, or its last day when the month is shorter.
QDate clampedDate(int year, int month, int day)
{
    const QDate first(year, month, 1);
    return QDate(year, month, std::min(day, first.daysInMonth()));
}

bool isWeekday(QDate date)
{
    return date.dayOfWeek() <= 5;
}

} // namespace

namespace RepeatRules {

Kind kindOf(const QByteArray& word)
{
    for (const Word& w : kWords)
        if (word == w.text)
            return w.kind;
    return Kind::Once;
}

QByteArray wordOf(Kind kind)
{
    for (const Word& w : kWords)
        if (w.kind == kind)
            return QByteArray(w.text);
    return {};
}

std::optional<QDate> nextDate(Kind kind, QDate date, QTime time, int day, QDate nowDate,
                              QTime nowTime)
{
    if (kind == Kind::Once || !date.isValid() || !time.isValid() || !nowDate.isValid())
        return std::nullopt;
    const auto after = [&](QDate d) { return d > nowDate || (d == nowDate && time > nowTime); };
    // The search starts no earlier than today's period: a series missed for years is one step
    // away from now, not thousands.
    switch (kind) {
    case Kind::Once:
        break;
    case Kind::Daily:
    case Kind::Weekdays: {
        QDate d = std::max(date, nowDate);
        while (!after(d) || (kind == Kind::Weekdays && !isWeekday(d)))
            d = d.addDays(1);
        return d;
    }
    case Kind::Weekly: {
        const qint64 behind = date.daysTo(nowDate);
        QDate d = behind > 0 ? date.addDays(behind / 7 * 7) : date;
        while (!after(d))
            d = d.addDays(7);
        return d;
    }
    case Kind::Monthly:
    case Kind::Yearly: {
        const int wanted = day > 0 ? day : date.day();
        const bool monthly = kind == Kind::Monthly;
        const int step = monthly ? 1 : 12;
        int months = date.year() * 12 + date.month() - 1;
        const int nowMonths = nowDate.year() * 12 + nowDate.month() - 1;
        if (nowMonths > months)
            months += (nowMonths - months) / step * step;
        for (;; months += step) {
            const QDate d = clampedDate(months / 12, months % 12 + 1, wanted);
            if (d >= date && after(d))
                return d;
        }
    }
    }
    return std::nullopt;
}

} // namespace RepeatRules
