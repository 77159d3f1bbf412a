#include "app/EventsFile.h"

#include "app/ProgramSettings.h"
#include "platform/AppError.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class EventsFileTest : public ::testing::Test
{
protected:
    QString path(const QString& name = QStringLiteral("events.ini")) const
    {
        return dir.filePath(name);
    }
    void write(const QByteArray& content) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray read() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static EventList sample(int n)
    {
        EventList list;
        for (int i = 0; i < n; ++i) {
            Events e;
            e.Date = QStringLiteral("0%1.01.2027").arg(i + 1);
            e.Time = QStringLiteral("10:00:0%1").arg(i);
            e.Title = QStringLiteral("Title %1").arg(i);
            e.Message = QStringLiteral("  leading blanks, \"quotes\", = ; [ and Grüße %1").arg(i);
            e.SoundFile = QStringLiteral("/music/Wake up %1.mp3").arg(i);
            e.Status = QStringLiteral("Active");
            e.Countdown = i % 2 == 1;
            list.append(e);
        }
        return list;
    }

    QTemporaryDir dir;
    const QString defaultSound = QStringLiteral("/opt/dorvane/sounds/alarm.wav");
};

TEST_F(EventsFileTest, SaveWritesSectionsAndKeysInOrderAndLoadsBack)
{
    const EventList events = sample(3);
    EventsFile::save(path(), events);
    const QByteArray text = read();
    EXPECT_TRUE(
        text.startsWith("[Event0]\nDate=01.01.2027\nTime=10:00:00\nCountdown=0\nTitle=Title 0\n"
                        "Message=\"  leading blanks,"));
    EXPECT_LT(text.indexOf("[Event0]"), text.indexOf("[Event1]"));
    EXPECT_LT(text.indexOf("[Event1]"), text.indexOf("[Event2]"));

    const EventList loaded = EventsFile::load(path(), std::nullopt, defaultSound);
    ASSERT_EQ(loaded.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(loaded[i], events[i]) << i;
}

TEST_F(EventsFileTest, LimitCapsTheSectionsRead)
{
    EventsFile::save(path(), sample(4));
    struct Case
    {
        std::optional<int> limit;
        std::size_t expected;
    };
    for (const Case c : {Case{0, 0}, Case{-5, 0}, Case{2, 2}, Case{4, 4}, Case{1000000000, 4},
                         Case{std::nullopt, 4}})
        EXPECT_EQ(EventsFile::load(path(), c.limit, defaultSound).size(), c.expected)
            << (c.limit ? *c.limit : -1);
}

TEST_F(EventsFileTest, GapsGiveRecordsOfDefaultsButNothingPastTheLastSection)
{
    write("[Event0]\nTitle=first\n[event2]\ntitle=third\nCountdown=0x10\n[Event07]\nTitle=not an "
          "index\n");
    const EventList loaded = EventsFile::load(path(), 50, defaultSound);
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[0].Title, QStringLiteral("first"));
    EXPECT_EQ(loaded[1], (Events{{}, {}, {}, {}, defaultSound, {}, {}, false}));
    EXPECT_EQ(loaded[2].Title, QStringLiteral("third"));
    EXPECT_TRUE(loaded[2].Countdown);
}

TEST_F(EventsFileTest, MissingFileGivesAnEmptyList)
{
    EXPECT_TRUE(
        EventsFile::load(path(QStringLiteral("none.ini")), std::nullopt, defaultSound).empty());
}

TEST_F(EventsFileTest, SaveRemovesStaleSectionsAndKeepsEverythingElse)
{
    write("; my "
          "notes\n[Other]\nkeep=1\n[Event0]\nDate=x\nCustom=mine\n[Event1]\nDate=y\n[Event2]\nDate="
          "z\n");
    EventsFile::save(path(), sample(1));
    const QByteArray text = read();
    EXPECT_TRUE(
        text.startsWith("; my notes\n[Other]\nkeep=1\n[Event0]\nDate=01.01.2027\nCustom=mine\n"));
    EXPECT_FALSE(text.contains("[Event1]"));
    EXPECT_FALSE(text.contains("[Event2]"));
    EXPECT_EQ(EventsFile::load(path(), std::nullopt, defaultSound).size(), 1u);
}

TEST_F(EventsFileTest, RefusedWriteRaisesAndLeavesTheFileAsItWas)
{
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/events.ini"));
    try {
        EventsFile::save(missing, sample(1));
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + missing.toStdString());
    }
}

TEST(ProgramSettingsTest, DefaultsAndRoundTrip)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("dorvane.ini"));
    const ProgramSettings defaults = ProgramSettings::read(file);
    EXPECT_EQ(defaults.LanguageName, QStringLiteral("English"));
    EXPECT_EQ(defaults.EventCount, 0);
    EXPECT_TRUE(defaults.AutoStart);
    EXPECT_TRUE(defaults.SoundPlay);

    ProgramSettings s{QStringLiteral("Russian"), 12, false, false};
    s.write(file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("[Options]\nLanguage=Russian\nEvents=12\nAuto Start=0\nSound Play=0\n"));
    const ProgramSettings back = ProgramSettings::read(file);
    EXPECT_EQ(back.LanguageName, s.LanguageName);
    EXPECT_EQ(back.EventCount, 12);
    EXPECT_FALSE(back.AutoStart);
    EXPECT_FALSE(back.SoundPlay);
}

} // namespace
