#include "core/EventsFile.h"
#include "support/AppFakes.h"

#include <gtest/gtest.h>

namespace {

class MainWindowNotifyTest : public ::testing::Test, protected AppFixture
{
protected:
    void start()
    {
        clock.current = QDateTime(QDate(2026, 12, 8), QTime(12, 0, 0));
        form = makeForm();
        form->startUp();
    }
    void dueAt(const QString& title, int seconds = 5)
    {
        form->book().add(makeEvent(u"08.12.2026"_s, QTime(12, 0, seconds).toString(u"HH:mm:ss"_s),
                                   title, form->strings().active));
    }
    void tick(int seconds = 5)
    {
        clock.current.setTime(QTime(12, 0, seconds));
        form->book().tick();
    }
    [[nodiscard]] QStringList actionKeys(int i) const
    {
        QStringList keys;
        for (const auto& action : notifier.shown[i].actions)
            keys << action.key;
        return keys;
    }
    TestForm form;
};

TEST_F(MainWindowNotifyTest, EachAlarmBoxHasANotificationWithdrawnWhenItCloses)
{
    start();
    dueAt(u"Dentist"_s);
    dueAt(u"Taxes"_s, 7);
    dueAt(u"Call"_s, 7);
    tick();
    ASSERT_EQ(notifier.shown.size(), 1);
    EXPECT_EQ(notifier.shown[0].summary, u"Dentist"_s);
    EXPECT_EQ(notifier.shown[0].body, u"Dentist text"_s);
    EXPECT_TRUE(notifier.shown[0].critical);
    EXPECT_EQ(actionKeys(0), (QStringList{u"default"_s, u"snooze-5"_s, u"snooze-15"_s}));
    EXPECT_EQ(notifier.withdrawn, QList<quint32>{1});

    // Several at once: the first title and how many more, and a snooze for the lot.
    tick(7);
    EXPECT_EQ(notifier.shown[1].summary, u"Taxes +1 more"_s);
    EXPECT_EQ(actionKeys(1), (QStringList{u"default"_s, u"snooze-5"_s, u"snooze-15"_s}));

    // Without action buttons on the desktop, or with notifications turned off.
    notifier.actions = false;
    dueAt(u"Late"_s, 9);
    tick(9);
    EXPECT_EQ(actionKeys(2), QStringList{u"default"_s});
    writeFile(u"dorvane.ini"_s, "[Options]\nNotify=0\n");
    start();
    dueAt(u"Quiet"_s);
    tick();
    EXPECT_EQ(notifier.shown.size(), 3);
}

// From the notification or from the box's own Snooze button: the events themselves come back,
// no copies.
TEST_F(MainWindowNotifyTest, SnoozeRearmsTheEventsAndClosesTheirBox)
{
    start();
    Event dentist = makeEvent(u"08.12.2026"_s, u"12:00:05"_s, u"Dentist"_s, u"Active"_s);
    dentist.soundFile = u"/s/bell.wav"_s;
    dentist.extraFile = u"/d/card.pdf"_s;
    form->book().add(dentist);
    dueAt(u"Taxes"_s);
    boxes.whileOpen = [&](const FakeMessageBoxes::Call&) {
        clock.current.setTime(QTime(12, 0, 20));
        emit notifier.actionInvoked(1, u"snooze-15"_s);
    };
    tick();
    ASSERT_EQ(form->book().events().size(), 2u);
    Event expected = dentist;
    expected.time = u"12:15:20"_s;
    EXPECT_EQ(form->book().events()[0], expected);
    EXPECT_EQ(form->book().events()[1].time, u"12:15:20"_s);
    EXPECT_EQ(boxes.closed, QStringList{boxes.calls[0].text});
    EXPECT_EQ(EventsFile::load(path(u"events.ini"_s), std::nullopt, {})[0], expected);
    // The same notification cannot snooze twice.
    emit notifier.actionInvoked(1, u"snooze-5"_s);
    EXPECT_EQ(form->book().events()[0].time, u"12:15:20"_s);

    // The box's button: ten minutes unless the drop-down says otherwise.
    boxes.whileOpen = {};
    boxes.snoozeAnswer = 10;
    clock.current.setTime(QTime(12, 15, 20));
    form->book().tick();
    ASSERT_EQ(boxes.snoozeChoices.size(), 2u);
    EXPECT_EQ(boxes.snoozeChoices[1].minutes, (std::vector<int>{5, 10, 15, 30, 60}));
    EXPECT_EQ(boxes.snoozeChoices[1].defaultMinutes, 10);
    EXPECT_EQ(form->book().events().size(), 2u);
    EXPECT_EQ(form->book().events()[0].time, u"12:25:20"_s);
    EXPECT_EQ(form->book().events()[0].status, u"Active"_s);
}

TEST_F(MainWindowNotifyTest, PassedEventsAreReportedAsANormalNotification)
{
    EventList passed;
    passed.append(makeEvent(u"07.12.2026"_s, u"09:00:00"_s, u"Old"_s, u"Active"_s));
    EventsFile::save(path(u"events.ini"_s), passed);
    start();
    ASSERT_EQ(notifier.shown.size(), 1);
    EXPECT_FALSE(notifier.shown[0].critical);
    EXPECT_EQ(notifier.shown[0].summary, u"Old"_s);
    EXPECT_TRUE(notifier.shown[0].body.endsWith(u"07.12.2026 - 09:00:00 - Old\n"_s));
}

TEST_F(MainWindowNotifyTest, PassedBodyNamesFiveEventsAndCountsTheRest)
{
    EventList passed;
    for (int i = 1; i <= 7; ++i)
        passed.append(
            makeEvent(u"07.12.2026"_s, u"09:00:0%1"_s.arg(i), u"E%1"_s.arg(i), u"Active"_s));
    EventsFile::save(path(u"events.ini"_s), passed);
    start();
    ASSERT_EQ(notifier.shown.size(), 1);
    const QStringList lines = notifier.shown[0].body.split(u'\n');
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines.mid(lines.size() - 6),
              (QStringList{u"07.12.2026 - 09:00:01 - E1"_s, u"07.12.2026 - 09:00:02 - E2"_s,
                           u"07.12.2026 - 09:00:03 - E3"_s, u"07.12.2026 - 09:00:04 - E4"_s,
                           u"07.12.2026 - 09:00:05 - E5"_s, u"\u2026 and 2 more"_s}));
    EXPECT_TRUE(notifier.shown[0].body.startsWith(form->strings().passed + u"\n\n"_s));
}

TEST_F(MainWindowNotifyTest, SummaryAndSnoozeButtonsFollowTheLanguage)
{
    struct Case
    {
        const char* language;
        QString more;
        QStringList snooze;
    };
    for (const Case& c :
         {Case{"English", u"Taxes +1 more"_s, {u"Snooze 5 min"_s, u"Snooze 15 min"_s}},
          Case{"Russian", u"Taxes и ещё 1"_s, {u"Отложить на 5 мин"_s, u"Отложить на 15 мин"_s}}}) {
        notifier.shown.clear();
        start();
        form->selectLanguage(QString::fromLatin1(c.language));
        dueAt(u"Dentist"_s);
        dueAt(u"Taxes"_s, 7);
        dueAt(u"Call"_s, 7);
        tick();
        tick(7);
        ASSERT_EQ(notifier.shown.size(), 2) << c.language;
        const auto& buttons = notifier.shown[0].actions;
        ASSERT_EQ(buttons.size(), 3) << c.language;
        EXPECT_EQ((QStringList{buttons[1].label, buttons[2].label}), c.snooze) << c.language;
        EXPECT_EQ(notifier.shown[1].summary, c.more) << c.language;
    }
}

} // namespace
