#include "core/EventsFile.h"
#include "support/AppFakes.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimeZone>
#include <QTimer>
#include <ctime>
#include <gtest/gtest.h>

namespace {

const QString kToday = u"08.12.2026"_s;
const QString kActive = u"Active"_s;

class AlarmTimerTest : public ::testing::Test, protected AppFixture
{
protected:
    void start(const QTime& at = QTime(12, 0, 0), const QDate& on = QDate(2026, 12, 8))
    {
        clock.current = QDateTime(on, at);
        form = makeForm();
        form->startUp();
        boxes.calls.clear();
    }
    void add(const QString& date, const QString& time, const QString& title, bool countdown = false)
    {
        form->appendEvent(makeEvent(date, time, title, kActive, countdown));
    }
    void tickAt(const QDateTime& moment)
    {
        clock.current = moment;
        form->onTick();
    }
    void tickAt(const QTime& time) { tickAt(QDateTime(clock.current.date(), time)); }
    [[nodiscard]] QString status(int row) const
    {
        return form->model().cell(row, EventTableModel::StatusColumn);
    }
    [[nodiscard]] QStringList messages() const
    {
        QStringList texts;
        for (const auto& call : boxes.calls)
            texts << call.text;
        return texts;
    }

    std::unique_ptr<MainWindow> form;
};

TEST_F(AlarmTimerTest, DueEventsOfOneSecondShareOneMessageInRowOrder)
{
    start();
    add(kToday, u"12:00:05"_s, u"first"_s);
    add(kToday, u"12:00:06"_s, u"other"_s);
    add(kToday, u"12:00:05"_s, u"second"_s);
    add(u"09.12.2026"_s, u"12:00:05"_s, u"tomorrow"_s);
    form->onTick();
    EXPECT_TRUE(boxes.calls.empty());

    tickAt(QTime(12, 0, 5));
    EXPECT_EQ(messages(),
              QStringList{QStringLiteral("08.12.2026 - 12:00:05 - first\r\rfirst text\r\r"
                                         "08.12.2026 - 12:00:05 - second\r\rsecond text\r\r")});
    EXPECT_EQ(delivery.log, (QStringList{u"sound:first"_s, u"extra:first"_s, u"sound:second"_s,
                                         u"extra:second"_s, u"after"_s}));
    EXPECT_EQ(status(0), u"Done"_s);
    EXPECT_EQ(form->events()[0].status, u"Done"_s);
    EXPECT_EQ(status(1), kActive);
    EXPECT_EQ(status(3), kActive);

    // Done is final: the same second again delivers nothing.
    boxes.calls.clear();
    tickAt(QTime(12, 0, 5));
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(AlarmTimerTest, AFailedSaveUnderTheAlarmKeepsItsMessage)
{
    start();
    add(kToday, u"12:00:01"_s, u"first"_s);
    add(kToday, u"12:00:02"_s, u"second"_s);
    // The events file cannot be written: the error box opens over the alarm message, and the
    // next second ticks under it.
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"events.ini"_s));
    bool nested = false;
    boxes.whileOpen = [&](const FakeMessageBoxes::Call& call) {
        if (call.kind == FakeMessageBoxes::Kind::Error && !std::exchange(nested, true))
            tickAt(QTime(12, 0, 2));
    };
    tickAt(QTime(12, 0, 1));
    const QStringList texts = messages();
    ASSERT_EQ(texts.size(), 4); // first alarm, error, nested alarm, nested error
    EXPECT_TRUE(texts[0].contains(u"first text"_s));
    EXPECT_FALSE(texts[0].contains(u"second"_s));
    EXPECT_TRUE(texts[2].contains(u"second text"_s));
}

TEST_F(AlarmTimerTest, ATickUnderAStartingSoundDoesNotSwallowTheAlarm)
{
    start();
    add(kToday, u"12:00:01"_s, u"first"_s);
    bool nested = false;
    delivery.whileStarting = [&] {
        if (!std::exchange(nested, true))
            tickAt(QTime(12, 0, 2));
    };
    tickAt(QTime(12, 0, 1));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains(u"first text"_s));
    EXPECT_EQ(status(0), u"Done"_s);
}

TEST_F(AlarmTimerTest, CountdownIsDeliveredAtTheTickAfterReachingZero)
{
    start();
    add(kToday, u"00:00:05"_s, u"tea"_s, true);
    add(kToday, QString(), u"broken"_s, true);
    add(kToday, u"12:00:03"_s, u"clock"_s);
    for (int tick = 1; tick <= 5; ++tick) {
        clock.advance(1);
        form->onTick();
    }
    EXPECT_EQ(form->model().cell(0, EventTableModel::TimeColumn), u"00:00:00"_s);
    EXPECT_EQ(status(0), kActive);
    EXPECT_EQ(messages().size(), 1); // the clock event after the countdown rows still fired
    clock.advance(1);
    form->onTick();
    EXPECT_EQ(status(0), u"Done"_s);
    EXPECT_TRUE(messages().last().startsWith(u"08.12.2026 - 00:00:00 - tea\r\r"_s));
    EXPECT_EQ(form->events()[0].time, u"00:00:05"_s);
    EXPECT_EQ(form->model().cell(1, EventTableModel::TimeColumn), QString());

    // A row removed above a counting one: the count moves up with its row.
    add(kToday, u"00:00:09"_s, u"egg"_s, true);
    clock.advance(1);
    form->onTick();
    form->removeEventAt(1);
    EXPECT_EQ(form->model().cell(2, EventTableModel::TimeColumn), u"00:00:08"_s);
    EXPECT_EQ(form->model().cell(1, EventTableModel::TimeColumn), u"12:00:03"_s);

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

TEST_F(AlarmTimerTest, LateTicksCatchUpWhatTheyMissed)
{
    start(QTime(12, 0, 0));
    add(kToday, u"12:00:00"_s, u"at start-up"_s);
    add(kToday, u"12:00:03"_s, u"skipped"_s);
    add(kToday, u"13:30:00"_s, u"during suspend"_s);
    add(kToday, u"15:00:01"_s, u"after resume"_s);
    add(kToday, u" 9:00:00"_s, u"malformed"_s);
    add(kToday, u"11:00:00"_s, u"after clock back"_s);

    tickAt(QTime(12, 0, 2)); // the first tick came late
    EXPECT_EQ(messages(), QStringList{QStringLiteral("08.12.2026 - 12:00:00 - at start-up\r\r"
                                                     "at start-up text\r\r")});
    tickAt(QTime(12, 0, 4)); // one second skipped
    EXPECT_EQ(status(1), u"Done"_s);
    tickAt(QTime(15, 0, 0)); // a three-hour suspend
    EXPECT_EQ(status(2), u"Done"_s);
    EXPECT_EQ(status(3), kActive);
    EXPECT_EQ(status(4), kActive);

    boxes.calls.clear();
    tickAt(QTime(10, 0, 0)); // the clock set back: only the exact comparison applies
    tickAt(QTime(10, 59, 59));
    EXPECT_TRUE(boxes.calls.empty());
    tickAt(QTime(11, 0, 0));
    EXPECT_EQ(status(5), u"Done"_s);
    EXPECT_EQ(status(4), kActive);
}

// The timer is armed for just after each second. Woken early, while the clock still reads the
// second the last tick checked, it ticks nothing and waits for the rest of that second.
TEST_F(AlarmTimerTest, AnEarlyTimerWaitsForTheNextSecond)
{
    start();
    add(kToday, u"00:00:10"_s, u"tea"_s, true); // each tick shows one second less
    const auto* timer = form->findChild<QTimer*>(u"tickTimer"_s);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 1001);
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
        form->onTickTimer();
        EXPECT_EQ(form->model().cell(0, EventTableModel::TimeColumn), QLatin1String(step.shown))
            << step.second << "." << step.msec;
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), step.interval) << step.second << "." << step.msec;
    }
}

class DaylightSavingTest : public AlarmTimerTest
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
        form.reset();
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
    form->onTick();
    EXPECT_EQ(status(0), kActive);
    clock.advance(1); // 01:59:59 -> 03:00:00
    form->onTick();
    EXPECT_EQ(clock.current.time(), QTime(3, 0, 0));
    EXPECT_EQ(status(0), u"Done"_s);

    // 31 October 2027: 03:00 summer time goes back to 02:00.
    form.reset();
    boxes.calls.clear();
    start(QTime(2, 29, 59), QDate(2027, 10, 31));
    add(u"31.10.2027"_s, u"02:30:00"_s, u"autumn"_s);
    int delivered = 0;
    for (int second = 0; second < 2 * 3600; ++second) {
        clock.advance(1);
        const int before = static_cast<int>(boxes.calls.size());
        form->onTick();
        delivered += static_cast<int>(boxes.calls.size()) - before;
    }
    EXPECT_EQ(delivered, 1);
}

TEST_F(AlarmTimerTest, TicksGoOnUnderAModalMessage)
{
    start();
    add(u"01.01.2030"_s, u"00:10:00"_s, u"running"_s, true);
    add(kToday, u"12:00:00"_s, u"now"_s);
    boxes.whileOpen = [this](const FakeMessageBoxes::Call&) {
        // The clock runs on in real time while the box is open.
        const QDateTime opened = clock.current;
        QElapsedTimer elapsed;
        elapsed.start();
        QTimer clockHand;
        QObject::connect(&clockHand, &QTimer::timeout,
                         [&] { clock.current = opened.addMSecs(elapsed.elapsed()); });
        clockHand.start(5);
        QEventLoop loop;
        QTimer::singleShot(2300, &loop, &QEventLoop::quit);
        loop.exec();
    };
    form->onTick(); // opens the alarm box; the real timer ticks under it
    const QString left = form->model().cell(0, EventTableModel::TimeColumn);
    EXPECT_LE(left, u"00:09:58"_s) << left.toStdString();
    EXPECT_GE(left, u"00:09:56"_s) << left.toStdString();
}

} // namespace

// A box names 30 events and counts the rest; every event is still marked done and saved.
TEST_F(AlarmTimerTest, BoxesNameThirtyEventsAndCountTheRest)
{
    EventList passed;
    for (int i = 0; i < 32; ++i)
        passed.append(makeEvent(u"07.12.2026"_s, u"09:00:00"_s, u"p%1"_s.arg(i), kActive));
    EventsFile::save(dir.filePath(u"events.ini"_s), passed);
    start();
    ASSERT_EQ(form->events().size(), 32u); // no settings file: every section is read
    EXPECT_EQ(form->events()[31].status, u"Done"_s);

    QFile::remove(dir.filePath(u"events.ini"_s));
    start();
    for (int i = 0; i < 33; ++i)
        add(kToday, u"12:00:05"_s, u"a%1"_s.arg(i));
    tickAt(QTime(12, 0, 5));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text.count(u" - 12:00:05 - "_s), 30);
    EXPECT_TRUE(boxes.calls[0].text.endsWith(u"a29 text\r\r... and 3 more"_s));
    EXPECT_EQ(form->events()[32].status, u"Done"_s);
}
