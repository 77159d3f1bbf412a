// The reminder book against a clock that moves only when told: what falls due, countdowns,
// catching up after a late tick, the start-up check, and what reaches the files.
#include "core/ReminderBook.h"

#include "base/AppError.h"
#include "core/AlarmRules.h"
#include "core/EventsFile.h"
#include "support/FakeClock.h"
#include "support/MakeEvent.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>
#include <exception>
#include <future>
#include <gtest/gtest.h>

namespace {

const QString kToday = u"08.12.2026"_s;
const QString kActive = u"Active"_s;
const QString kDone = u"Done"_s;

class ReminderBookTest : public ::testing::Test
{
protected:
    void start(const QTime& at = QTime(12, 0, 0), const QDate& on = QDate(2026, 12, 8))
    {
        clock.current = QDateTime(on, at);
        book = std::make_unique<ReminderBook>(
            clock, ProgramFolder::ofExecutable(dir.filePath(u"dorvane"_s)));
        book->setStatusWords(kActive, kDone);
        const ProgramSettings settings = ReminderBook::readSettings(book->folder());
        std::promise<EventList> read;
        try {
            read.set_value(ReminderBook::readEvents(book->folder(), settings));
        } catch (const AppError&) {
            read.set_exception(std::current_exception());
        }
        try {
            book->open(settings, read.get_future());
        } catch (const AppError& error) {
            openError = QString::fromUtf8(error.what());
        }
        QObject::connect(book.get(), &ReminderBook::saveFailed,
                         [this](const QString& message) { failures << message; });
        QObject::connect(book.get(), &ReminderBook::alarmsDue,
                         [this](const DueEvents& due) { alarms << due.text; });
        QObject::connect(book.get(), &ReminderBook::passedFound,
                         [this](const DueEvents& due) { passed << due.text; });
    }
    void add(const QString& date, const QString& time, const QString& title, bool countdown = false)
    {
        book->add(makeEvent(date, time, title, kActive, countdown));
    }
    void tickAt(const QDateTime& moment)
    {
        clock.current = moment;
        book->tick();
    }
    void tickAt(const QTime& time) { tickAt(QDateTime(clock.current.date(), time)); }
    [[nodiscard]] QString status(int row) const { return book->at(row).status; }
    [[nodiscard]] EventList onDisk() const
    {
        return EventsFile::load(book->folder().eventsFile, std::nullopt, {});
    }

    [[nodiscard]] QString path(const QString& name) const { return dir.filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    [[nodiscard]] QByteArray readFile(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    FakeClock clock;
    std::unique_ptr<ReminderBook> book;
    QStringList alarms;
    QStringList passed;
    QStringList failures;
    QString openError;
};

TEST_F(ReminderBookTest, DueEventsOfOneSecondShareOneMessageInRowOrderAndAreSaved)
{
    start();
    add(kToday, u"12:00:05"_s, u"first"_s);
    add(kToday, u"12:00:06"_s, u"other"_s);
    add(kToday, u"12:00:05"_s, u"second"_s);
    add(u"09.12.2026"_s, u"12:00:05"_s, u"tomorrow"_s);
    book->tick();
    EXPECT_TRUE(alarms.empty());

    tickAt(QTime(12, 0, 5));
    EXPECT_EQ(alarms,
              QStringList{QStringLiteral("08.12.2026 - 12:00:05 - first\r\rfirst text\r\r"
                                         "08.12.2026 - 12:00:05 - second\r\rsecond text\r\r")});
    EXPECT_EQ((QStringList{status(0), status(1), status(2), status(3)}),
              (QStringList{kDone, kActive, kDone, kActive}));
    // Written without a window to show them: a crash now cannot bring them back.
    EXPECT_EQ(onDisk()[2].status, kDone);

    // Done is final: the same second again delivers nothing.
    tickAt(QTime(12, 0, 5));
    EXPECT_EQ(alarms.size(), 1);
}

TEST_F(ReminderBookTest, CountdownIsDeliveredAtTheTickAfterReachingZero)
{
    start();
    add(kToday, u"00:00:05"_s, u"tea"_s, true);
    add(kToday, QString(), u"broken"_s, true);
    add(kToday, u"12:00:03"_s, u"clock"_s);
    for (int tick = 1; tick <= 5; ++tick) {
        clock.advance(1);
        book->tick();
    }
    EXPECT_EQ(book->shownTime(0), u"00:00:00"_s);
    EXPECT_EQ(status(0), kActive);
    EXPECT_EQ(alarms.size(), 1); // the clock event after the countdown rows still fired
    clock.advance(1);
    book->tick();
    EXPECT_EQ(status(0), kDone);
    EXPECT_TRUE(alarms.last().startsWith(u"08.12.2026 - 00:00:00 - tea\r\r"_s));
    EXPECT_EQ(book->at(0).time, u"00:00:05"_s);
    EXPECT_EQ(book->shownTime(1), QString());

    // A row removed above a counting one: the count moves up with its row.
    add(kToday, u"00:00:09"_s, u"egg"_s, true);
    clock.advance(1);
    book->tick();
    book->remove({1});
    EXPECT_EQ(book->shownTime(2), u"00:00:08"_s);
    EXPECT_EQ(book->shownTime(1), u"12:00:03"_s);

    struct Case
    {
        const char* from;
        const char* to;
    };
    for (const Case c :
         {Case{"10:00:00", "09:59:59"}, Case{"10:01:00", "10:00:59"}, Case{"00:00:01", "00:00:00"},
          Case{"00:00:00", "00:00:00"}, Case{"1:00:00", "1:00:00"}, Case{"ab:cd:ef", "ab:cd:ef"}})
        EXPECT_EQ(AlarmRules::countDown(QLatin1String(c.from)), QLatin1String(c.to)) << c.from;
}

TEST_F(ReminderBookTest, LateTicksCatchUpWhatTheyMissed)
{
    start(QTime(12, 0, 0));
    add(kToday, u"12:00:00"_s, u"at start-up"_s);
    add(kToday, u"12:00:03"_s, u"skipped"_s);
    add(kToday, u"13:30:00"_s, u"during suspend"_s);
    add(kToday, u"15:00:01"_s, u"after resume"_s);
    add(kToday, u" 9:00:00"_s, u"malformed"_s);
    add(kToday, u"11:00:00"_s, u"after clock back"_s);

    tickAt(QTime(12, 0, 2)); // the first tick came late
    EXPECT_EQ(alarms, QStringList{QStringLiteral("08.12.2026 - 12:00:00 - at start-up\r\r"
                                                 "at start-up text\r\r")});
    tickAt(QTime(12, 0, 4)); // one second skipped
    EXPECT_EQ(status(1), kDone);
    tickAt(QTime(15, 0, 0)); // a three-hour suspend
    EXPECT_EQ(status(2), kDone);
    EXPECT_EQ(status(3), kActive);
    EXPECT_EQ(status(4), kActive);

    alarms.clear();
    tickAt(QTime(10, 0, 0)); // the clock set back: only the exact comparison applies
    tickAt(QTime(10, 59, 59));
    EXPECT_TRUE(alarms.empty());
    tickAt(QTime(11, 0, 0));
    EXPECT_EQ(status(5), kDone);
    EXPECT_EQ(status(4), kActive);
}

// The timer is armed for just after each second. Woken early, while the clock still reads the
// second the last tick checked, it ticks nothing and waits for the rest of that second.
TEST_F(ReminderBookTest, AnEarlyTimerWaitsForTheNextSecond)
{
    start();
    add(kToday, u"00:00:10"_s, u"tea"_s, true); // each tick shows one second less
    const QTimer& timer = book->timer();
    EXPECT_EQ(timer.interval(), 1001);
    struct Step
    {
        int second, msec;
        const char* shown;
        int interval;
    };
    for (const Step step : {Step{0, 998, "00:00:09", 3}, // the start-up second is checked once
                            Step{0, 999, "00:00:09", 2}, // early: still the checked second
                            Step{1, 1, "00:00:08", 1000}, Step{1, 500, "00:00:08", 501},
                            Step{4, 0, "00:00:07", 1001}}) { // late: ticks once
        clock.current = QDateTime(clock.current.date(), QTime(12, 0, step.second, step.msec));
        book->onTimer();
        EXPECT_EQ(book->shownTime(0), QLatin1String(step.shown)) << step.second << "." << step.msec;
        EXPECT_TRUE(timer.isActive());
        EXPECT_EQ(timer.interval(), step.interval) << step.second << "." << step.msec;
    }
}

class DaylightSavingTest : public ReminderBookTest
{
protected:
    void SetUp() override
    {
        m_oldTz = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }
    void TearDown() override
    {
        book.reset();
        if (m_oldTz.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", m_oldTz);
        tzset();
    }
    QByteArray m_oldTz;
};

TEST_F(DaylightSavingTest, SkippedHourFiresAtTheJumpRepeatedHourOnce)
{
    ASSERT_EQ(QDateTime(QDate(2027, 3, 28), QTime(1, 59, 59)).addSecs(1).time(), QTime(3, 0, 0))
        << "no zone data for Europe/Berlin";
    start(QTime(1, 59, 58), QDate(2027, 3, 28));
    add(u"28.03.2027"_s, u"02:30:00"_s, u"spring"_s);
    clock.advance(1);
    book->tick();
    EXPECT_EQ(status(0), kActive);
    clock.advance(1); // 01:59:59 -> 03:00:00
    book->tick();
    EXPECT_EQ(clock.current.time(), QTime(3, 0, 0));
    EXPECT_EQ(status(0), kDone);

    // 31 October 2027: 03:00 summer time goes back to 02:00.
    QFile::remove(book->folder().eventsFile);
    book.reset();
    alarms.clear();
    start(QTime(2, 29, 59), QDate(2027, 10, 31));
    add(u"31.10.2027"_s, u"02:30:00"_s, u"autumn"_s);
    for (int second = 0; second < 2 * 3600; ++second) {
        clock.advance(1);
        book->tick();
    }
    EXPECT_EQ(alarms.size(), 1);
}

// A message names 30 events and counts the rest; every event is still marked done and saved.
TEST_F(ReminderBookTest, PassedAndDueMessagesNameThirtyEventsAndCountTheRest)
{
    EventList stored;
    stored.append(makeEvent(u"07.12.2026"_s, u"09:00:00"_s, u"yesterday"_s, kActive));
    stored.append(makeEvent(u"08.12.2026"_s, u"13:00:00"_s, u"later"_s, kActive));
    stored.append(makeEvent(u"08.12.2026"_s, u"11:59:59"_s, u"earlier"_s, kActive));
    stored.append(makeEvent(u"01.01.2020"_s, u"10:00:00"_s, u"done"_s, kDone));
    stored.append(makeEvent(u"01.01.2020"_s, u"00:00:05"_s, u"countdown"_s, kActive, true));
    for (int i = 0; i < 31; ++i)
        stored.append(makeEvent(u"07.12.2026"_s, u"10:00:00"_s, u"p%1"_s.arg(i), kActive));
    EventsFile::save(dir.filePath(u"events.ini"_s), stored);
    start();
    ASSERT_EQ(book->count(), 36); // no settings file: every section is read
    book->checkPassed();
    ASSERT_EQ(passed.size(), 1);
    EXPECT_TRUE(passed[0].startsWith(u"07.12.2026 - 09:00:00 - yesterday\r"
                                     "08.12.2026 - 11:59:59 - earlier\r"
                                     "07.12.2026 - 10:00:00 - p0\r"_s));
    EXPECT_TRUE(passed[0].endsWith(u" - p27\r... and 3 more\r"_s));
    const QStringList expected{kDone, kActive, kDone, kDone, kActive};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(onDisk()[static_cast<std::size_t>(i)].status, expected[i]) << i;
    EXPECT_EQ(onDisk()[35].status, kDone);

    for (int i = 0; i < 33; ++i)
        add(kToday, u"12:00:05"_s, u"a%1"_s.arg(i));
    tickAt(QTime(12, 0, 5));
    ASSERT_EQ(alarms.size(), 1);
    EXPECT_EQ(alarms[0].count(u" - 12:00:05 - "_s), 30);
    EXPECT_TRUE(alarms[0].endsWith(u"a29 text\r\r... and 3 more"_s));
    EXPECT_EQ(onDisk()[68].status, kDone);
}

// A count in the settings and no events file (a dangling link, a folder not mounted): the file
// is left alone and the count kept, as for a file that cannot be read; with neither, the book
// starts empty and writes.
TEST_F(ReminderBookTest, AMissingEventsFileChangesNothingStoredWhileTheCountExpectsEvents)
{
    const struct
    {
        const char* settings;
        bool told;
        const char* count; // what the settings say after an Add and the writes of an exit
    } cases[] = {
        {"[Options]\nEvents=2\n", true, "Events=2"},
        {nullptr, false, "Events=1"},
        {"[Options]\nEvents=0\n", false, "Events=1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings ? c.settings : "no settings");
        QFile::remove(path(u"dorvane.ini"_s));
        QFile::remove(path(u"events.ini"_s));
        if (c.settings)
            writeFile(u"dorvane.ini"_s, c.settings);
        openError.clear();
        failures.clear();
        start();
        EXPECT_EQ(openError, c.told ? u"Cannot read "_s + path(u"events.ini"_s) +
                                          u": No such file or directory"_s
                                    : QString());
        add(kToday, u"13:00:00"_s, u"new"_s);
        book->writeSettings();
        book->writeEvents();
        EXPECT_TRUE(readFile(u"dorvane.ini"_s).contains(c.count));
        EXPECT_EQ(QFile::exists(path(u"events.ini"_s)), !c.told);
        // Told once, however often the book tries to save.
        EXPECT_EQ(failures.size(), c.told ? 1 : 0);
    }
}

TEST_F(ReminderBookTest, DeletedEventsDoNotComeBack)
{
    // Three read at start-up, one added and both then deleted: the file holds the rest only,
    // whether the next start reads it by the count or File > Load reads all of it.
    EventList stored;
    for (const char* title : {"one", "two", "three"})
        stored.append(makeEvent(kToday, u"13:00:00"_s, QString::fromUtf8(title), kActive));
    EventsFile::save(path(u"events.ini"_s), stored);
    start();
    add(kToday, u"14:00:00"_s, u"four"_s);
    book->remove({0, 3});
    ASSERT_EQ(onDisk().size(), 2u);
    EXPECT_EQ(onDisk()[0].title, u"two"_s);
    start();
    EXPECT_EQ(book->count(), 2);
    book->loadFrom(path(u"events.ini"_s));
    EXPECT_EQ(book->count(), 2);

    // File > Save over a file that holds more: exactly the list.
    EventsFile::save(path(u"other.ini"_s), stored);
    book->saveTo(path(u"other.ini"_s));
    EXPECT_EQ(EventsFile::load(path(u"other.ini"_s), std::nullopt, {}).size(), 2u);
}

TEST_F(ReminderBookTest, ALanguageWithoutUsableStatusWordsLeavesTheStatusesAsTheyAre)
{
    // English, then the language under test, then Russian: every event can still fire and be
    // done in Russian.
    const QString ruActive = u"Активно"_s;
    const QString ruDone = u"Выполнено"_s;
    const struct
    {
        QString active;
        QString done;
        QString activeMeanwhile; // the status an active event has under that language
    } cases[] = {
        {QString(), u"Fertig"_s, kActive},     {u"Aktiv"_s, QString(), u"Aktiv"_s},
        {QString(), QString(), kActive},       {u"Same"_s, u"Same"_s, kActive},
        {kDone, QString(), kActive}, // would make every active event done
        {u"Aktiv"_s, u"Fertig"_s, u"Aktiv"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.active + u"/"_s + c.done).toStdString());
        QFile::remove(path(u"events.ini"_s));
        QFile::remove(path(u"dorvane.ini"_s));
        start();
        add(kToday, u"13:00:00"_s, u"active"_s);
        book->add(makeEvent(kToday, u"11:00:00"_s, u"done"_s, kDone));
        book->setStatusWords(c.active, c.done);
        EXPECT_EQ(onDisk()[0].status, c.activeMeanwhile);
        EXPECT_TRUE(book->isActive(0));
        EXPECT_TRUE(book->isDone(1));
        book->setStatusWords(ruActive, ruDone);
        EXPECT_EQ(onDisk()[0].status, ruActive);
        EXPECT_EQ(onDisk()[1].status, ruDone);
    }
}

TEST_F(ReminderBookTest, AnEventsFileChangedByAnotherProgramIsKeptBesideIt)
{
    start();
    QStringList kept;
    QObject::connect(book.get(), &ReminderBook::changedFileKept,
                     [&kept](const QString& backup) { kept << backup; });
    add(kToday, u"13:00:00"_s, u"first"_s);
    add(kToday, u"13:00:01"_s, u"second"_s); // this run's own writes keep nothing
    EXPECT_TRUE(kept.empty());

    const QByteArray edited = "[Event0]\nTitle=edited elsewhere\n";
    writeFile(u"events.ini"_s, edited);
    clock.current = QDateTime(QDate(2026, 12, 8), QTime(12, 34, 56));
    add(kToday, u"13:00:02"_s, u"third"_s);
    const QString backup = path(u"events.ini.20261208-123456.bak"_s);
    EXPECT_EQ(kept, QStringList{backup});
    EXPECT_EQ(readFile(u"events.ini.20261208-123456.bak"_s), edited);
    EXPECT_EQ(onDisk().size(), 3u);

    // Said once: the next saves find the file as they left it. A second change in the same
    // second gets a name of its own.
    add(kToday, u"13:00:03"_s, u"fourth"_s);
    EXPECT_EQ(kept.size(), 1);
    writeFile(u"events.ini"_s, edited + "; again\n");
    book->remove({0});
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[1], path(u"events.ini.20261208-123456-1.bak"_s));
    EXPECT_EQ(readFile(u"events.ini.20261208-123456.bak"_s), edited);

    // Kept once even when the save after it fails, as long as nobody changes it again.
    writeFile(u"events.ini"_s, edited + "; read-only\n");
    ASSERT_TRUE(QFile::setPermissions(path(u"events.ini"_s), QFileDevice::ReadOwner));
    book->remove({0});
    book->remove({0});
    EXPECT_EQ(kept.size(), 3);
    EXPECT_EQ(failures.size(), 2);
}

} // namespace
