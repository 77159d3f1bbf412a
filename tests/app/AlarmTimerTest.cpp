#include "AppFakes.h"

#include <QEventLoop>
#include <QTimeZone>
#include <QTimer>
#include <ctime>
#include <gtest/gtest.h>

namespace {

const QString kToday = QStringLiteral("08.12.2026");
const QString kActive = QStringLiteral("Active");

class AlarmTimerTest : public ::testing::Test, protected AppFixture
{
protected:
    void start(const QTime& at = QTime(12, 0, 0), const QDate& on = QDate(2026, 12, 8))
    {
        clock.current = QDateTime(on, at);
        form = makeForm();
        form->FormCreate();
        boxes.calls.clear();
    }
    void add(const QString& date, const QString& time, const QString& title, bool countdown = false)
    {
        form->appendEvent(makeEvent(date, time, title, kActive, countdown));
    }
    void tickAt(const QDateTime& moment)
    {
        clock.current = moment;
        form->Timer1Timer();
    }
    void tickAt(const QTime& time) { tickAt(QDateTime(clock.current.date(), time)); }
    [[nodiscard]] QString status(int row) const
    {
        return form->Rows->cell(row, EventRows::ColStatus);
    }
    [[nodiscard]] QStringList messages() const
    {
        QStringList texts;
        for (const auto& call : boxes.calls)
            texts << call.text;
        return texts;
    }

    std::unique_ptr<TForm1> form;
};

TEST_F(AlarmTimerTest, DueEventsOfOneSecondShareOneMessageInRowOrder)
{
    start();
    add(kToday, QStringLiteral("12:00:05"), QStringLiteral("first"));
    add(kToday, QStringLiteral("12:00:06"), QStringLiteral("other"));
    add(kToday, QStringLiteral("12:00:05"), QStringLiteral("second"));
    add(QStringLiteral("09.12.2026"), QStringLiteral("12:00:05"), QStringLiteral("tomorrow"));
    form->Timer1Timer();
    EXPECT_TRUE(boxes.calls.empty());

    tickAt(QTime(12, 0, 5));
    EXPECT_EQ(form->AlarmCount, 2);
    EXPECT_EQ(messages(),
              QStringList{QStringLiteral("08.12.2026 - 12:00:05 - first\r\rfirst text\r\r"
                                         "08.12.2026 - 12:00:05 - second\r\rsecond text\r\r")});
    EXPECT_EQ(delivery.log,
              (QStringList{QStringLiteral("sound:first"), QStringLiteral("extra:first"),
                           QStringLiteral("sound:second"), QStringLiteral("extra:second"),
                           QStringLiteral("after")}));
    EXPECT_EQ(status(0), QStringLiteral("Done"));
    EXPECT_EQ(form->EventList[0].Status, QStringLiteral("Done"));
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
    add(kToday, QStringLiteral("12:00:01"), QStringLiteral("first"));
    add(kToday, QStringLiteral("12:00:02"), QStringLiteral("second"));
    // The events file cannot be written: the error box opens before the alarm message, and the
    // next second ticks under it.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("events.ini")));
    bool nested = false;
    boxes.whileOpen = [&](const FakeMessageBoxes::Call& call) {
        if (call.kind == FakeMessageBoxes::Kind::Error && !std::exchange(nested, true))
            tickAt(QTime(12, 0, 2));
    };
    tickAt(QTime(12, 0, 1));
    const QStringList texts = messages();
    ASSERT_EQ(texts.size(), 4); // error, nested error, nested alarm, first alarm
    EXPECT_TRUE(texts[2].contains(QStringLiteral("second text")));
    EXPECT_TRUE(texts[3].contains(QStringLiteral("first text")));
    EXPECT_FALSE(texts[3].contains(QStringLiteral("second")));
}

TEST_F(AlarmTimerTest, CountdownIsDeliveredAtTheTickAfterReachingZero)
{
    start();
    add(kToday, QStringLiteral("00:00:05"), QStringLiteral("tea"), true);
    add(kToday, QString(), QStringLiteral("broken"), true);
    add(kToday, QStringLiteral("12:00:03"), QStringLiteral("clock"));
    for (int tick = 1; tick <= 5; ++tick) {
        clock.advance(1);
        form->Timer1Timer();
    }
    EXPECT_EQ(form->Rows->cell(0, EventRows::ColTime), QStringLiteral("00:00:00"));
    EXPECT_EQ(status(0), kActive);
    EXPECT_EQ(messages().size(), 1); // the clock event after the countdown rows still fired
    clock.advance(1);
    form->Timer1Timer();
    EXPECT_EQ(status(0), QStringLiteral("Done"));
    EXPECT_TRUE(messages().last().startsWith(QStringLiteral("08.12.2026 - 00:00:00 - tea\r\r")));
    EXPECT_EQ(form->EventList[0].Time, QStringLiteral("00:00:05"));
    EXPECT_EQ(form->Rows->cell(1, EventRows::ColTime), QString());

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
    add(kToday, QStringLiteral("12:00:00"), QStringLiteral("at start-up"));
    add(kToday, QStringLiteral("12:00:03"), QStringLiteral("skipped"));
    add(kToday, QStringLiteral("13:30:00"), QStringLiteral("during suspend"));
    add(kToday, QStringLiteral("15:00:01"), QStringLiteral("after resume"));
    add(kToday, QStringLiteral(" 9:00:00"), QStringLiteral("malformed"));
    add(kToday, QStringLiteral("11:00:00"), QStringLiteral("after clock back"));

    tickAt(QTime(12, 0, 2)); // the first tick came late
    EXPECT_EQ(messages(), QStringList{QStringLiteral("08.12.2026 - 12:00:00 - at start-up\r\r"
                                                     "at start-up text\r\r")});
    tickAt(QTime(12, 0, 4)); // one second skipped
    EXPECT_EQ(status(1), QStringLiteral("Done"));
    tickAt(QTime(15, 0, 0)); // a three-hour suspend
    EXPECT_EQ(status(2), QStringLiteral("Done"));
    EXPECT_EQ(status(3), kActive);
    EXPECT_EQ(status(4), kActive);

    boxes.calls.clear();
    tickAt(QTime(10, 0, 0)); // the clock set back: only the exact comparison applies
    tickAt(QTime(10, 59, 59));
    EXPECT_TRUE(boxes.calls.empty());
    tickAt(QTime(11, 0, 0));
    EXPECT_EQ(status(5), QStringLiteral("Done"));
    EXPECT_EQ(status(4), kActive);
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
    add(QStringLiteral("28.03.2027"), QStringLiteral("02:30:00"), QStringLiteral("spring"));
    clock.advance(1);
    form->Timer1Timer();
    EXPECT_EQ(status(0), kActive);
    clock.advance(1); // 01:59:59 -> 03:00:00
    form->Timer1Timer();
    EXPECT_EQ(clock.current.time(), QTime(3, 0, 0));
    EXPECT_EQ(status(0), QStringLiteral("Done"));

    // 31 October 2027: 03:00 summer time goes back to 02:00.
    form.reset();
    boxes.calls.clear();
    start(QTime(2, 29, 59), QDate(2027, 10, 31));
    add(QStringLiteral("31.10.2027"), QStringLiteral("02:30:00"), QStringLiteral("autumn"));
    int delivered = 0;
    for (int second = 0; second < 2 * 3600; ++second) {
        clock.advance(1);
        const int before = static_cast<int>(boxes.calls.size());
        form->Timer1Timer();
        delivered += static_cast<int>(boxes.calls.size()) - before;
    }
    EXPECT_EQ(delivered, 1);
}

TEST_F(AlarmTimerTest, TicksGoOnUnderAModalMessage)
{
    start();
    add(QStringLiteral("01.01.2030"), QStringLiteral("00:10:00"), QStringLiteral("running"), true);
    add(kToday, QStringLiteral("12:00:00"), QStringLiteral("now"));
    boxes.whileOpen = [](const FakeMessageBoxes::Call&) {
        QEventLoop loop;
        QTimer::singleShot(2300, &loop, &QEventLoop::quit);
        loop.exec();
    };
    form->Timer1Timer(); // opens the alarm box; the real timer ticks under it
    const QString left = form->Rows->cell(0, EventRows::ColTime);
    EXPECT_LE(left, QStringLiteral("00:09:58")) << left.toStdString();
    EXPECT_GE(left, QStringLiteral("00:09:56")) << left.toStdString();
}

} // namespace
