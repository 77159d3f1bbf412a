// Repeating events: the next occurrence of each kind, and the reminder book moving a series on
// after its alarm, after a time away and across the clock changes, against a fake clock.
#include "core/EventsFile.h"
#include "core/ReminderBook.h"
#include "core/RepeatRules.h"
#include "support/FakeClock.h"
#include "support/MakeEvent.h"

#include <QFile>
#include <QTemporaryDir>
#include <ctime>
#include <future>
#include <gtest/gtest.h>
#include <memory>

namespace {

using RepeatRules::Kind;

QDate dateOf(const char* text)
{
    return QDate::fromString(QLatin1String(text), u"dd.MM.yyyy"_s);
}

TEST(RepeatRulesTest, NextOccurrenceAfterNow)
{
    struct Case
    {
        Kind kind;
        const char* date;
        const char* time;
        int day; // the day a monthly or yearly event was set for; 0: the date's
        const char* now;
        const char* nowTime;
        const char* next; // nullptr: none
    };
    // 08.12.2026 is a Tuesday.
    for (const Case c : {
             Case{Kind::Daily, "08.12.2026", "12:00:00", 0, "08.12.2026", "12:00:00", "09.12.2026"},
             Case{Kind::Daily, "01.12.2026", "13:00:00", 0, "08.12.2026", "12:00:00", "08.12.2026"},
             Case{Kind::Daily, "01.12.2026", "09:00:00", 0, "08.12.2026", "12:00:00", "09.12.2026"},
             Case{Kind::Daily, "20.12.2026", "09:00:00", 0, "08.12.2026", "12:00:00", "20.12.2026"},
             Case{Kind::Weekdays, "11.12.2026", "09:00:00", 0, "11.12.2026", "09:00:00",
                  "14.12.2026"},
             Case{Kind::Weekdays, "08.12.2026", "09:00:00", 0, "12.12.2026", "08:00:00",
                  "14.12.2026"},
             Case{Kind::Weekly, "08.12.2026", "12:00:00", 0, "08.12.2026", "12:00:00",
                  "15.12.2026"},
             Case{Kind::Weekly, "01.12.2026", "09:00:00", 0, "15.12.2026", "10:00:00",
                  "22.12.2026"},
             Case{Kind::Weekly, "01.12.2026", "11:00:00", 0, "15.12.2026", "10:00:00",
                  "15.12.2026"},
             Case{Kind::Monthly, "31.01.2027", "09:00:00", 0, "31.01.2027", "09:00:00",
                  "28.02.2027"},
             Case{Kind::Monthly, "28.02.2027", "09:00:00", 31, "28.02.2027", "09:00:00",
                  "31.03.2027"},
             Case{Kind::Monthly, "31.03.2027", "09:00:00", 0, "31.03.2027", "09:00:00",
                  "30.04.2027"},
             Case{Kind::Monthly, "31.01.2028", "09:00:00", 0, "31.01.2028", "09:00:00",
                  "29.02.2028"},
             Case{Kind::Monthly, "15.01.2020", "09:00:00", 0, "08.12.2026", "12:00:00",
                  "15.12.2026"},
             Case{Kind::Monthly, "31.12.2026", "09:00:00", 0, "31.12.2026", "10:00:00",
                  "31.01.2027"},
             Case{Kind::Yearly, "29.02.2028", "09:00:00", 0, "29.02.2028", "09:00:00",
                  "28.02.2029"},
             Case{Kind::Yearly, "28.02.2031", "09:00:00", 29, "28.02.2031", "09:00:00",
                  "29.02.2032"},
             Case{Kind::Yearly, "08.12.2000", "12:00:00", 0, "08.12.2026", "11:00:00",
                  "08.12.2026"},
             Case{Kind::Once, "08.12.2026", "12:00:00", 0, "08.12.2026", "12:00:00", nullptr},
         }) {
        const auto next = RepeatRules::nextDate(
            c.kind, dateOf(c.date), QTime::fromString(QLatin1String(c.time), u"HH:mm:ss"_s), c.day,
            dateOf(c.now), QTime::fromString(QLatin1String(c.nowTime), u"HH:mm:ss"_s));
        const QString shown = next ? next->toString(u"dd.MM.yyyy"_s) : u"none"_s;
        EXPECT_EQ(shown, c.next ? QLatin1String(c.next) : u"none"_s)
            << RepeatRules::wordOf(c.kind).constData() << " " << c.date << " " << c.day << " after "
            << c.now << " " << c.nowTime;
    }
    for (const char* word : {"", "daily", "Fortnightly", "Daily "})
        EXPECT_EQ(RepeatRules::kindOf(word), Kind::Once) << word;
    for (const Kind kind : {Kind::Daily, Kind::Weekdays, Kind::Weekly, Kind::Monthly, Kind::Yearly})
        EXPECT_EQ(RepeatRules::kindOf(RepeatRules::wordOf(kind)), kind);
}

class RepeatBookTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        book.reset();
        if (!m_oldTz.isNull()) {
            if (m_oldTz.isEmpty())
                qunsetenv("TZ");
            else
                qputenv("TZ", m_oldTz);
            tzset();
        }
    }
    /// The zone with both clock changes the rows go through.
    void inBerlin()
    {
        m_oldTz = qgetenv("TZ");
        if (m_oldTz.isNull())
            m_oldTz = "";
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }
    /// Starts the book on the events file as it is, at that moment.
    void start(const QDateTime& at)
    {
        clock.current = at;
        book = std::make_unique<ReminderBook>(clock,
                                              ProgramFolder::ofExecutable(dir.filePath(u"d"_s)));
        book->setStatusWords(u"Active"_s, u"Done"_s);
        std::promise<EventList> read;
        const ProgramSettings settings = ReminderBook::readSettings(book->folder());
        read.set_value(ReminderBook::readEvents(book->folder(), settings));
        book->open(settings, read.get_future());
        QObject::connect(book.get(), &ReminderBook::alarmsDue,
                         [this](const DueEvents& due) { alarms << due.text; });
        QObject::connect(book.get(), &ReminderBook::passedFound,
                         [this](const DueEvents& due) { passed << due.text; });
    }
    void write(const QByteArray& bytes) const
    {
        QFile file(dir.filePath(u"events.ini"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    [[nodiscard]] QByteArray onDisk() const
    {
        QFile file(dir.filePath(u"events.ini"_s));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    /// Ticks each second up to and including until.
    void tickUntil(const QDateTime& until)
    {
        while (clock.current < until) {
            clock.advance(1);
            book->tick();
        }
    }

    QTemporaryDir dir;
    FakeClock clock;
    std::unique_ptr<ReminderBook> book;
    QStringList alarms;
    QStringList passed;
    QByteArray m_oldTz;
};

// Each series is delivered once at its moment (or once for everything missed while away), stays
// active and moves on to its next occurrence after now, on disk at once.
TEST_F(RepeatBookTest, SeriesFireOnceAndMoveOnToTheirNextOccurrence)
{
    struct Case
    {
        const char* name;
        bool berlin;
        QByteArray section; // the event as the file has it
        QDateTime start;
        QDateTime until; // ticked up to, second by second
        int alarms;
        int passedLines;
        QByteArray after; // what the file then says, in order
    };
    // The event's section: its moment, then its status, then how it repeats.
    const auto section = [](const QByteArray& moment, const QByteArray& repeat) {
        return "[Event0]\nCountdown=0\nTitle=T\nMessage=M\n" + moment + "Status=Active\n" + repeat;
    };
    for (const Case& c : {
             Case{"daily, at its second", false,
                  section("Date=08.12.2026\nTime=12:00:05\n", "Repeat=Daily\n"),
                  QDateTime(QDate(2026, 12, 8), QTime(12, 0, 0)),
                  QDateTime(QDate(2026, 12, 8), QTime(12, 0, 30)), 1, 0,
                  "Date=09.12.2026\nTime=12:00:05\nStatus=Active\nRepeat=Daily\n"},
             Case{"weekdays, missed over a weekend", false,
                  section("Date=11.12.2026\nTime=09:00:00\n", "Repeat=Weekdays\n"),
                  QDateTime(QDate(2026, 12, 14), QTime(10, 0, 0)),
                  QDateTime(QDate(2026, 12, 14), QTime(10, 0, 2)), 0, 1,
                  "Date=15.12.2026\nTime=09:00:00\nStatus=Active\nRepeat=Weekdays\n"},
             Case{"monthly on the 31st, kept in February", false,
                  section("Date=31.01.2027\nTime=09:00:00\n", "Repeat=Monthly\n"),
                  QDateTime(QDate(2027, 1, 31), QTime(8, 59, 58)),
                  QDateTime(QDate(2027, 1, 31), QTime(9, 0, 1)), 1, 0,
                  "Date=28.02.2027\nTime=09:00:00\nStatus=Active\nRepeat=Monthly\n"
                  "Repeat Day=31\n"},
             Case{"monthly, back on the 31st", false,
                  section("Date=28.02.2027\nTime=09:00:00\n", "Repeat=Monthly\nRepeat Day=31\n"),
                  QDateTime(QDate(2027, 2, 28), QTime(8, 59, 58)),
                  QDateTime(QDate(2027, 2, 28), QTime(9, 0, 1)), 1, 0,
                  "Date=31.03.2027\nTime=09:00:00\nStatus=Active\nRepeat=Monthly\n"
                  "Repeat Day=\n"},
             Case{"yearly on 29 February, missed for years", false,
                  section("Date=29.02.2024\nTime=09:00:00\n", "Repeat=Yearly\n"),
                  QDateTime(QDate(2026, 12, 8), QTime(12, 0, 0)),
                  QDateTime(QDate(2026, 12, 8), QTime(12, 0, 1)), 0, 1,
                  "Date=28.02.2027\nTime=09:00:00\nStatus=Active\nRepeat=Yearly\n"
                  "Repeat Day=29\n"},
             Case{"an unknown word: once, and kept", false,
                  section("Date=08.12.2026\nTime=12:00:05\n", "Repeat=Fortnightly\n"),
                  QDateTime(QDate(2026, 12, 8), QTime(12, 0, 0)),
                  QDateTime(QDate(2026, 12, 8), QTime(12, 0, 30)), 1, 0,
                  "Date=08.12.2026\nTime=12:00:05\nStatus=Done\nRepeat=Fortnightly\n"},
             Case{"a countdown does not repeat", false,
                  "[Event0]\nCountdown=1\nTitle=T\nMessage=M\nDate=08.12.2026\nTime=00:00:03\n"
                  "Status=Active\nRepeat=Daily\n",
                  QDateTime(QDate(2026, 12, 8), QTime(12, 0, 0)),
                  QDateTime(QDate(2026, 12, 8), QTime(12, 0, 10)), 1, 0,
                  "Date=08.12.2026\nTime=00:00:03\nStatus=Done\nRepeat=Daily\n"},
             // Clocks forward on 28 March 2027: 02:30 never shows; the first second after.
             Case{"daily in the skipped hour", true,
                  section("Date=28.03.2027\nTime=02:30:00\n", "Repeat=Daily\n"),
                  QDateTime(QDate(2027, 3, 28), QTime(1, 59, 50)),
                  QDateTime(QDate(2027, 3, 28), QTime(3, 30, 0)), 1, 0,
                  "Date=29.03.2027\nTime=02:30:00\nStatus=Active\nRepeat=Daily\n"},
             // Clocks back on 31 October 2027: 02:30 shows twice; one alarm.
             Case{"daily in the repeated hour", true,
                  section("Date=31.10.2027\nTime=02:30:00\n", "Repeat=Daily\n"),
                  QDateTime(QDate(2027, 10, 31), QTime(1, 59, 50)),
                  QDateTime(QDate(2027, 10, 31), QTime(4, 0, 0)), 1, 0,
                  "Date=01.11.2027\nTime=02:30:00\nStatus=Active\nRepeat=Daily\n"},
         }) {
        SCOPED_TRACE(c.name);
        if (c.berlin) {
            inBerlin();
            ASSERT_EQ(QDateTime(QDate(2027, 3, 28), QTime(1, 59, 59)).addSecs(1).time(),
                      QTime(3, 0, 0))
                << "no zone data for Europe/Berlin";
        }
        alarms.clear();
        passed.clear();
        write(c.section);
        start(c.start);
        if (!book->events().empty())
            book->checkPassed();
        tickUntil(c.until);
        EXPECT_EQ(alarms.size(), c.alarms);
        EXPECT_EQ(passed.empty() ? 0 : passed[0].count(u'\r'), c.passedLines);
        // The keys that tell, in the order the file holds them.
        QByteArray told;
        for (const QByteArray& line : onDisk().split('\n'))
            if (line.startsWith("Date=") || line.startsWith("Time=") ||
                line.startsWith("Status=") || line.startsWith("Repeat"))
                told += line + '\n';
        EXPECT_EQ(told, c.after);
        TearDown();
    }
}

// Snoozing re-arms the event itself; a series keeps its next occurrence and gets a one-off copy.
TEST_F(RepeatBookTest, SnoozeRearmsTheEventOrCopiesASeries)
{
    write("[Event0]\nDate=08.12.2026\nTime=12:00:05\nTitle=Tea\nMessage=M\nStatus=Active\n"
          "[Event1]\nDate=08.12.2026\nTime=12:00:05\nTitle=Walk\nMessage=M\nStatus=Active\n"
          "Repeat=Daily\n[Event2]\nDate=08.12.2026\nTime=12:00:05\nTitle=Gone\nMessage=M\n"
          "Status=Active\n");
    start(QDateTime(QDate(2026, 12, 8), QTime(12, 0, 0)));
    DueEvents due;
    QObject::connect(book.get(), &ReminderBook::alarmsDue, [&](const DueEvents& d) { due = d; });
    tickUntil(QDateTime(QDate(2026, 12, 8), QTime(12, 0, 5)));
    ASSERT_EQ(due.events.size(), 3u);
    book->remove({2});
    clock.advance(7); // the box stayed open a while
    book->snooze(due, 10);

    const EventList saved = EventsFile::load(dir.filePath(u"events.ini"_s), std::nullopt, {});
    ASSERT_EQ(saved.size(), 3u);
    const auto shown = [](const Event& e) {
        return e.title + u' ' + e.date + u' ' + e.time + u' ' + e.status + u' ' +
               QString::fromUtf8(e.repeat);
    };
    EXPECT_EQ(shown(saved[0]), u"Tea 08.12.2026 12:10:12 Active "_s);
    EXPECT_EQ(shown(saved[1]), u"Walk 09.12.2026 12:00:05 Active Daily"_s);
    EXPECT_EQ(shown(saved[2]), u"Walk 08.12.2026 12:10:12 Active "_s);
}

} // namespace
