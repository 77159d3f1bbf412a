// What the window does with the alarms the reminder book finds: one box, then the sounds and the
// extra files in row order, and the clock going on under boxes.
#include "support/AppFakes.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kToday = u"08.12.2026"_s;
const QString kActive = u"Active"_s;

class MainWindowAlarmTest : public ::testing::Test, protected AppFixture
{
protected:
    void start()
    {
        form = makeForm();
        form->startUp();
        boxes.calls.clear();
    }
    void add(const QString& date, const QString& time, const QString& title, bool countdown = false)
    {
        form->book().add(makeEvent(date, time, title, kActive, countdown));
    }
    void tickAt(const QTime& time)
    {
        clock.current = QDateTime(clock.current.date(), time);
        form->book().tick();
    }
    [[nodiscard]] QStringList messages() const
    {
        QStringList texts;
        for (const auto& call : boxes.calls)
            texts << call.text;
        return texts;
    }

    TestForm form;
};

TEST_F(MainWindowAlarmTest, OneBoxThenTheSoundsAndExtraFilesInRowOrder)
{
    start();
    add(kToday, u"12:00:05"_s, u"first"_s);
    add(kToday, u"12:00:06"_s, u"other"_s);
    add(kToday, u"12:00:05"_s, u"second"_s);
    tickAt(QTime(12, 0, 5));
    EXPECT_EQ(messages(),
              QStringList{QStringLiteral("08.12.2026 - 12:00:05 - first\r\rfirst text\r\r"
                                         "08.12.2026 - 12:00:05 - second\r\rsecond text\r\r")});
    EXPECT_EQ(delivery.log, (QStringList{u"sound:first"_s, u"extra:first"_s, u"sound:second"_s,
                                         u"extra:second"_s, u"after"_s}));
    EXPECT_EQ(form->model().cell(0, EventTableModel::StatusColumn), u"Done"_s);
}

TEST_F(MainWindowAlarmTest, AFailedSaveUnderTheAlarmKeepsItsMessage)
{
    start();
    add(kToday, u"12:00:01"_s, u"first"_s);
    add(kToday, u"12:00:02"_s, u"second"_s);
    // The events file cannot be written: the error box opens over the alarm message once its
    // sound, extra file and notification are under way, and the next second ticks under it.
    ASSERT_TRUE(QFile::remove(path(u"events.ini"_s)));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"events.ini"_s));
    bool nested = false;
    QList<QStringList> deliveredBeforeError;
    QList<int> notifiedBeforeError;
    boxes.whileOpen = [&](const FakeMessageBoxes::Call& call) {
        if (call.kind != FakeMessageBoxes::Kind::Error)
            return;
        deliveredBeforeError << delivery.log;
        notifiedBeforeError << static_cast<int>(notifier.shown.size());
        if (!std::exchange(nested, true))
            tickAt(QTime(12, 0, 2));
    };
    tickAt(QTime(12, 0, 1));
    const QStringList texts = messages();
    ASSERT_EQ(texts.size(), 4); // first alarm, error, nested alarm, nested error
    EXPECT_TRUE(texts[0].contains(u"first text"_s));
    EXPECT_FALSE(texts[0].contains(u"second"_s));
    EXPECT_TRUE(texts[1].startsWith(u"Unable to write to "_s + path(u"events.ini"_s)));
    EXPECT_TRUE(texts[2].contains(u"second text"_s));
    EXPECT_EQ(deliveredBeforeError, (QList<QStringList>{{u"sound:first"_s, u"extra:first"_s},
                                                        {u"sound:first"_s, u"extra:first"_s,
                                                         u"sound:second"_s, u"extra:second"_s}}));
    EXPECT_EQ(notifiedBeforeError, (QList<int>{1, 2}));
}

TEST_F(MainWindowAlarmTest, ATickUnderAStartingSoundDoesNotSwallowTheAlarm)
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
    EXPECT_EQ(form->book().at(0).status, u"Done"_s);
}

TEST_F(MainWindowAlarmTest, TicksGoOnUnderAModalMessage)
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
    form->book().tick(); // opens the alarm box; the real timer ticks under it
    const QString left = form->model().cell(0, EventTableModel::TimeColumn);
    EXPECT_LE(left, u"00:09:58"_s) << left.toStdString();
    EXPECT_GE(left, u"00:09:56"_s) << left.toStdString();
}

} // namespace
