#include "core/AlarmRules.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using AlarmRules::TickAction;

// 08.12.2026 12:00:10; the previous tick read `previous` seconds earlier.
TEST(AlarmRules, TickActionDecidesEachRow)
{
    const ClockTexts now = AlarmRules::clockTexts(QDateTime(QDate(2026, 12, 8), QTime(12, 0, 10)));
    const struct
    {
        QString date, time;
        bool active, countdown;
        qint64 secondsSincePrevious;
        TickAction expected;
    } cases[] = {
        {u"08.12.2026"_s, u"12:00:10"_s, true, false, 1, TickAction::Deliver},
        {u"08.12.2026"_s, u"12:00:10"_s, false, false, 1, TickAction::Nothing},
        {u"08.12.2026"_s, u"12:00:09"_s, true, false, 1, TickAction::Nothing},
        // A late tick catches up the seconds it skipped, but not the one it read last time.
        {u"08.12.2026"_s, u"12:00:07"_s, true, false, 5, TickAction::Deliver},
        {u"08.12.2026"_s, u"12:00:05"_s, true, false, 5, TickAction::Nothing},
        {u"08.12.2026"_s, u"12:00:07"_s, false, false, 5, TickAction::Nothing},
        {u"8.12.2026"_s, u"12:00:07"_s, true, false, 5, TickAction::Nothing},
        // Countdowns run down while active and fall due on their date at zero.
        {u"08.12.2026"_s, u"00:00:00"_s, true, true, 1, TickAction::Deliver},
        {u"09.12.2026"_s, u"00:00:00"_s, true, true, 1, TickAction::CountDown},
        {u"08.12.2026"_s, u"00:00:03"_s, true, true, 1, TickAction::CountDown},
        {u"08.12.2026"_s, u"00:00:00"_s, false, true, 1, TickAction::Nothing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AlarmRules::tickAction(c.date, c.time, c.active, c.countdown, now,
                                         now.wallSecond - c.secondsSincePrevious),
                  c.expected)
            << c.date.toStdString() << ' ' << c.time.toStdString() << ' ' << c.active;
}

TEST(AlarmRules, PassedWhileAwayTakesActiveClockEventsBeforeNow)
{
    const ClockTexts now = AlarmRules::clockTexts(QDateTime(QDate(2026, 12, 8), QTime(12, 0, 10)));
    EXPECT_TRUE(AlarmRules::passedWhileAway(u"08.12.2026"_s, u"12:00:09"_s, true, false, now));
    EXPECT_TRUE(AlarmRules::passedWhileAway(u"31.12.2025"_s, u"23:00:00"_s, true, false, now));
    EXPECT_FALSE(AlarmRules::passedWhileAway(u"08.12.2026"_s, u"12:00:10"_s, true, false, now));
    EXPECT_FALSE(AlarmRules::passedWhileAway(u"07.12.2026"_s, u"12:00:00"_s, false, false, now));
    EXPECT_FALSE(AlarmRules::passedWhileAway(u"07.12.2026"_s, u"12:00:00"_s, true, true, now));
    EXPECT_EQ(AlarmRules::eventLine(u"07.12.2026"_s, u"12:00:00"_s, u"Taxes"_s),
              u"07.12.2026 - 12:00:00 - Taxes"_s);
}
