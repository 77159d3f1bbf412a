#include "AppFakes.h"
#include "app/ColumnLayout.h"
#include "app/EventsFile.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTreeView>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Kind = FakeMessageBoxes::Kind;

class MainWindowTest : public ::testing::Test, protected AppFixture
{
protected:
    void saveEvents(const EventList& events, int count)
    {
        EventsFile::save(path(QStringLiteral("events.ini")), events);
        writeFile(QStringLiteral("dorvane.ini"),
                  QStringLiteral("[Options]\nEvents=%1\nAuto Start=0\n").arg(count).toUtf8());
    }
};

TEST_F(MainWindowTest, FirstStartReadsNothingAndWritesTheAutostartEntry)
{
    saveEvents(EventList(), 0);
    QFile::remove(path(QStringLiteral("dorvane.ini")));
    EventList one;
    one.append(makeEvent(QStringLiteral("01.01.2030"), QStringLiteral("10:00:00"),
                         QStringLiteral("a"), QStringLiteral("Active")));
    EventsFile::save(path(QStringLiteral("events.ini")), one); // present, but the count is 0

    auto form = makeForm();
    form->FormCreate();
    EXPECT_EQ(form->LanguageName, QStringLiteral("English"));
    EXPECT_TRUE(form->EventList.empty());
    EXPECT_EQ(form->Strings.StringActive, QStringLiteral("Active"));
    EXPECT_EQ(autoStart.log, QStringList{QStringLiteral("enable:Dorvane 1.6:") + exe()});
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(form->settingsFileName(), path(QStringLiteral("dorvane.ini")));
    EXPECT_EQ(form->DefaultSoundFile, dir.path() + QStringLiteral("/sounds/alarm.wav"));
}

TEST_F(MainWindowTest, StartUpFillsTheViewAndReportsPassedEvents)
{
    EventList events;
    events.append(makeEvent(QStringLiteral("07.12.2026"), QStringLiteral("09:00:00"),
                            QStringLiteral("yesterday"), QStringLiteral("Active")));
    events.append(makeEvent(QStringLiteral("08.12.2026"), QStringLiteral("13:00:00"),
                            QStringLiteral("later"), QStringLiteral("Active")));
    events.append(makeEvent(QStringLiteral("08.12.2026"), QStringLiteral("11:59:59"),
                            QStringLiteral("earlier"), QStringLiteral("Active")));
    events.append(makeEvent(QStringLiteral("01.01.2020"), QStringLiteral("10:00:00"),
                            QStringLiteral("done"), QStringLiteral("Done")));
    events.append(makeEvent(QStringLiteral("01.01.2020"), QStringLiteral("00:00:05"),
                            QStringLiteral("countdown"), QStringLiteral("Active"), true));
    saveEvents(events, 5);

    auto form = makeForm();
    form->FormCreate();
    ASSERT_EQ(form->Rows->count(), 5);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].kind, Kind::Message);
    EXPECT_EQ(boxes.calls[0].caption, QStringLiteral("Dorvane 1.6"));
    EXPECT_EQ(boxes.calls[0].text,
              form->Strings.StringPassed + QStringLiteral("\r\r07.12.2026 - 09:00:00 - yesterday\r"
                                                          "08.12.2026 - 11:59:59 - earlier\r"));
    const QStringList expected{QStringLiteral("Done"), QStringLiteral("Active"),
                               QStringLiteral("Done"), QStringLiteral("Done"),
                               QStringLiteral("Active")};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(form->Rows->cell(i, EventRows::ColStatus), expected[i]) << i;
        EXPECT_EQ(form->EventList[static_cast<std::size_t>(i)].Status, expected[i]) << i;
    }
    // The change reached the files at once: a crash now cannot bring the events back.
    const EventList onDisk = EventsFile::load(path(QStringLiteral("events.ini")), 5, {});
    EXPECT_EQ(onDisk[0].Status, QStringLiteral("Done"));
}

TEST_F(MainWindowTest, AutostartErrorAtStartUpSkipsTheViewAndTheCheck)
{
    EventList events;
    events.append(makeEvent(QStringLiteral("01.01.2020"), QStringLiteral("10:00:00"),
                            QStringLiteral("old"), QStringLiteral("Active")));
    saveEvents(events, 1);
    writeFile(QStringLiteral("dorvane.ini"), "[Options]\nEvents=1\n");
    autoStart.fail = true;

    auto form = makeForm();
    form->FormCreate();
    EXPECT_EQ(form->EventList.size(), 1u);
    EXPECT_EQ(form->Rows->count(), 0);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].kind, Kind::Error);
    EXPECT_EQ(boxes.calls[0].text, QStringLiteral("Failed to set data for 'Dorvane 1.6'"));
}

TEST_F(MainWindowTest, ShutdownWritesSettingsAutostartAndEventsInOrder)
{
    saveEvents(EventList(), 0);
    auto form = makeForm();
    form->FormCreate();
    form->appendEvent(makeEvent(QStringLiteral("01.01.2030"), QStringLiteral("10:00:00"),
                                QStringLiteral("new"), QStringLiteral("Active")));
    form->LanguageName = QStringLiteral("Russian");
    autoStart.log.clear();
    ASSERT_TRUE(form->FormClose());
    EXPECT_EQ(autoStart.log, QStringList{QStringLiteral("disable:Dorvane 1.6")});
    EXPECT_EQ(readFile(QStringLiteral("dorvane.ini")),
              QByteArray("[Options]\nEvents=1\nAuto Start=0\nLanguage=Russian\nSound Play=1\n"));
    EXPECT_EQ(EventsFile::load(path(QStringLiteral("events.ini")), 1, {})[0].Title,
              QStringLiteral("new"));
}

TEST_F(MainWindowTest, FailedSettingsWriteStopsTheShutdownAndKeepsTheWindow)
{
    saveEvents(EventList(), 0);
    auto form = makeForm();
    form->FormCreate();
    form->show();
    form->appendEvent(makeEvent(QStringLiteral("01.01.2030"), QStringLiteral("10:00:00"),
                                QStringLiteral("new"), QStringLiteral("Active")));
    const QByteArray eventsBefore = readFile(QStringLiteral("events.ini"));
    // A folder in the settings file's place makes the write fail, also for root.
    QFile::remove(path(QStringLiteral("dorvane.ini")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("dorvane.ini")));
    autoStart.log.clear();

    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].kind, Kind::Error);
    EXPECT_EQ(boxes.calls[0].text,
              QStringLiteral("Unable to write to ") + path(QStringLiteral("dorvane.ini")));
    EXPECT_TRUE(autoStart.log.isEmpty());
    EXPECT_EQ(readFile(QStringLiteral("events.ini")), eventsBefore);
}

TEST_F(MainWindowTest, RowsAreColouredByStatusAndTipsSpellOutTheRow)
{
    saveEvents(EventList(), 0);
    auto form = makeForm();
    form->FormCreate();
    form->appendEvent(makeEvent(QStringLiteral("01.01.2030"), QStringLiteral("10:00:00"),
                                QStringLiteral("a"), QStringLiteral("Active")));
    form->appendEvent(makeEvent(QStringLiteral("01.01.2030"), QStringLiteral("10:00:00"),
                                QStringLiteral("b"), QStringLiteral("Done")));
    Events other =
        makeEvent(QStringLiteral("01.01.2030"), {}, QStringLiteral("c"), QStringLiteral("Активно"));
    other.Message.clear();
    form->appendEvent(other);
    form->appendEvent(makeEvent({}, {}, QStringLiteral("d"), {}));

    EXPECT_EQ(form->ListView1CustomDrawItem(0), QColor(0, 128, 0));
    EXPECT_EQ(form->ListView1CustomDrawItem(1), QColor(255, 0, 0));
    EXPECT_FALSE(form->ListView1CustomDrawItem(2).isValid());
    EXPECT_FALSE(form->ListView1CustomDrawItem(3).isValid());
    // Without a language both words are empty: an empty status is drawn red.
    form->Strings = {};
    EXPECT_EQ(form->ListView1CustomDrawItem(3), QColor(255, 0, 0));

    EXPECT_EQ(form->ListView1InfoTip(2), QStringLiteral("Date: 01.01.2030\rTime: \rTitle: c\r"
                                                        "Description: \rStatus: Активно"));
    form->ApplyLanguage(QStringLiteral("Russian.ini"));
    EXPECT_TRUE(form->ListView1InfoTip(0).startsWith(QStringLiteral("Дата: 01.01.2030\rВремя: ")));
    EXPECT_TRUE(form->MLangRussian->isChecked());
    EXPECT_FALSE(form->MLangEnglish->isChecked());
    EXPECT_EQ(form->ListView1CustomDrawItem(2), QColor(0, 128, 0));
}

TEST_F(MainWindowTest, ColumnsFollowTheListWidthBeforeTheResize)
{
    struct Case
    {
        int width;
        ColumnLayout::Widths expected;
    };
    for (const Case& c : {Case{520, {70, 55, 102, 213, 55}}, Case{720, {70, 55, 162, 353, 55}},
                          Case{180, {70, 55, 0, -25, 55}}, Case{100, {70, 55, -24, -81, 55}}})
        EXPECT_EQ(ColumnLayout::forListWidth(c.width), c.expected) << c.width;

    auto form = makeForm();
    form->show();
    const int before = form->ListView1->width();
    form->resize(form->width() + 200, form->height());
    QCoreApplication::processEvents();
    const ColumnLayout::Widths expected = ColumnLayout::forListWidth(before);
    EXPECT_EQ(form->ListView1->header()->sectionSize(2), expected[2]);
    EXPECT_EQ(form->ListView1->header()->sectionSize(3), expected[3]);
}

} // namespace
