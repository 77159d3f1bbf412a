#include "core/EventsFile.h"

#include "base/AppError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

class EventsFileTest : public ::testing::Test
{
protected:
    QString path(const QString& name = u"events.ini"_s) const { return dir.filePath(name); }
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
            Event e;
            e.date = u"0%1.01.2027"_s.arg(i + 1);
            e.time = u"10:00:0%1"_s.arg(i);
            e.title = u"Title %1"_s.arg(i);
            e.message = u"  leading blanks, \"quotes\", = ; [ and Grüße %1"_s.arg(i);
            e.soundFile = u"/music/Wake up %1.mp3"_s.arg(i);
            e.status = u"Active"_s;
            e.countdown = i % 2 == 1;
            list.append(e);
        }
        return list;
    }

    QTemporaryDir dir;
    const QString defaultSound = u"/opt/dorvane/sounds/alarm.wav"_s;
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
    EXPECT_TRUE(EventsFile::load(path(u"none.ini"_s), std::nullopt, defaultSound).empty());
}

TEST_F(EventsFileTest, GapsGiveRecordsOfDefaultsButNothingPastTheLastSection)
{
    write("[Event0]\nTitle=first\n[event2]\ntitle=third\nCountdown=0x10\n[Event07]\nTitle=not an "
          "index\n");
    const EventList loaded = EventsFile::load(path(), 50, defaultSound);
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[0].title, u"first"_s);
    EXPECT_EQ(loaded[1], (Event{{}, {}, {}, {}, defaultSound, {}, {}, false, {}}));
    EXPECT_EQ(loaded[2].title, u"third"_s);
    EXPECT_TRUE(loaded[2].countdown);
}

TEST_F(EventsFileTest, ABigListIsBuiltAsASmallOneIs)
{
    // Big enough to be built in parts: gaps, foreign bytes, repeated and far names in the
    // later part, where the small load below reads them one by one.
    QByteArray text;
    for (int i = 0; i < 5000; ++i) {
        if (i == 3000)
            continue;
        text += "[Event" + QByteArray::number(i) + "]\nDate=01.01.2027\nTitle=t" +
                QByteArray::number(i) + (i == 3500 ? "\xE9" : "") + "\nStatus=Active\n";
    }
    text += "[event4000]\nTitle=a repeated name is not read\n[Event200000]\nTitle=far\n";
    write(text);

    const EventList big = EventsFile::load(path(), std::nullopt, defaultSound);
    ASSERT_EQ(big.size(), 5000u);
    const EventList small = EventsFile::load(path(), 4095, defaultSound);
    ASSERT_EQ(small.size(), 4095u);
    for (std::size_t i = 0; i < small.size(); ++i)
        ASSERT_EQ(big[i], small[i]) << i;
    EXPECT_EQ(big[3000], (Event{{}, {}, {}, {}, defaultSound, {}, {}, false, {}}));
    EXPECT_EQ(big[3500].title, u"t3500\u00e9"_s);
    EXPECT_EQ(big[4000].title, u"t4000"_s);
    EXPECT_EQ(big[4999].title, u"t4999"_s);
}

TEST_F(EventsFileTest, SaveKeepsWhatItDidNotWriteAndRemovesWhatItReadAndDropped)
{
    // Sections past the list stay when this run never read them (they may be events the count
    // keeps out), and go when it did: a deleted event must not come back at the next load.
    // Without a count of sections read, the file is left with exactly the list.
    const struct
    {
        std::optional<std::size_t> readSections;
        const char* tail;
        std::size_t loaded;
    } cases[] = {
        {1, "Status=Active\n[Event1]\nDate=y\n[event2]\nDate=z\n", 3},
        {2, "Status=Active\n[event2]\nDate=z\n", 3},
        {3, "Status=Active\n", 1},
        {std::nullopt, "Status=Active\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.loaded);
        write("; my notes\n[Other]\nkeep=1\n[Event0]\nDate=x\nCustom=mine\n[Event1]\nDate=y\n"
              "[event2]\nDate=z\n");
        if (c.readSections)
            EventsFile::save(path(), sample(1), *c.readSections);
        else
            EventsFile::save(path(), sample(1));
        const QByteArray text = read();
        EXPECT_TRUE(text.startsWith(
            "; my notes\n[Other]\nkeep=1\n[Event0]\nDate=01.01.2027\nCustom=mine\n"));
        EXPECT_TRUE(text.endsWith(c.tail)) << text.toStdString();
        EXPECT_EQ(EventsFile::load(path(), std::nullopt, defaultSound).size(), c.loaded);
    }
}

TEST_F(EventsFileTest, AMissingFileIsAnErrorOnlyWhenACountExpectsEvents)
{
    // A dangling link stands for a folder that is not there yet.
    ASSERT_TRUE(QFile::link(dir.filePath(u"gone/events.ini"_s), path(u"link.ini"_s)));
    const struct
    {
        QString file;
        std::optional<int> limit;
        bool error;
    } cases[] = {
        {path(), std::nullopt, false},
        {path(), 0, false},
        {path(), 2, true},
        {path(u"link.ini"_s), std::nullopt, false},
        {path(u"link.ini"_s), 1, true},
        {path(u"no/dir/events.ini"_s), 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString() + " " + std::to_string(c.limit.value_or(-1)));
        try {
            EXPECT_TRUE(EventsFile::load(c.file, c.limit, defaultSound).empty());
            EXPECT_FALSE(c.error);
        } catch (const AppError& error) {
            EXPECT_TRUE(c.error);
            EXPECT_EQ(QString::fromUtf8(error.what()),
                      u"Cannot read "_s + c.file + u": No such file or directory"_s);
        }
    }
}

TEST_F(EventsFileTest, AFileThatCannotBeReadIsAnErrorNamingIt)
{
    ASSERT_TRUE(QDir().mkpath(path()));
    try {
        (void)EventsFile::load(path(), std::nullopt, defaultSound);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  u"Cannot read "_s + path() + u": Is a directory"_s);
    }
}

// Files from 8-bit code pages: what nobody changed goes back byte for byte, what is shown reads
// as Windows-1252, and an edited text is written as UTF-8.
TEST_F(EventsFileTest, TextsThatAreNotUtf8SurviveASaveUnlessEdited)
{
    const struct
    {
        QByteArray stored;
        QString shown;
        const char* edit; // nullptr: left as loaded
        QByteArray written;
    } cases[] = {
        {"Caf\xE9", u"Caf\u00E9"_s, nullptr, "Caf\xE9"},
        {"Caf\xE9", u"Caf\u00E9"_s, "Caf\xC3\xA9", "Caf\xE9"}, // the same text typed again
        {"Caf\xE9", u"Caf\u00E9"_s, "Caf\xC3\xA9!", "Caf\xC3\xA9!"},
        {"\x80\x81\x9F\xFF", u"\u20AC\u0081\u0178\u00FF"_s, nullptr, "\x80\x81\x9F\xFF"},
        {"Caf\xC3\xA9", u"Caf\u00E9"_s, nullptr, "Caf\xC3\xA9"},
        {"\xEF\xBF\xBD", u"\uFFFD"_s, nullptr, "\xEF\xBF\xBD"},
        {"\xF0\x9F\x94\x94", u"\U0001F514"_s, nullptr, "\xF0\x9F\x94\x94"},
        // Overlong, surrogate, too large and cut-off sequences are not UTF-8 either.
        {"\xC0\xAF", u"\u00C0\u00AF"_s, nullptr, "\xC0\xAF"},
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC"_s, nullptr, "\xF4\x90\x80\x80"},
        {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"_s, nullptr, "\xED\xA0\x80"},
        {"x\xE2\x82", u"x\u00E2\u201A"_s, nullptr, "x\xE2\x82"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toHex().toStdString());
        write("[Event0]\nTitle=" + c.stored + "\n");
        EventList events = EventsFile::load(path(), std::nullopt, defaultSound);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].title, c.shown);
        if (c.edit)
            events[0].title = QString::fromUtf8(c.edit);
        EventsFile::save(path(), events);
        EXPECT_TRUE(read().contains("\nTitle=" + c.written + "\n")) << read().toStdString();
    }

    // Every text field keeps its bytes, also where events repeat them; a copy keeps them too, and
    // the file names are the bytes.
    const QByteArray fields = "Date=0\xB9.01.2027\nTime=10:00:0\xB2\nCountdown=0\n"
                              "Title=\xC9t\xE9\nMessage=Gr\xFC\xDF Gott\n"
                              "Sound File=/m/Ch\xE2t.wav\nExtra File=/home/u/Re\xE7u.pdf\n"
                              "Status=Termin\xE9\n";
    const QByteArray twoEvents = "[Event0]\n" + fields + "[Event1]\n" + fields;
    write(twoEvents);
    const EventList loaded = EventsFile::load(path(), std::nullopt, defaultSound);
    ASSERT_EQ(loaded.size(), 2u);
    EventList copy;
    copy.append(loaded[0]);
    copy.append(loaded[1]);
    EXPECT_EQ(copy[0], loaded[0]);
    EXPECT_EQ(copy[1].soundFilePath(), QByteArray("/m/Ch\xE2t.wav"));
    EXPECT_EQ(copy[1].extraFilePath(), QByteArray("/home/u/Re\xE7u.pdf"));
    EventsFile::save(path(), copy);
    EXPECT_EQ(read(), twoEvents);

    copy[0].extraFile = u"/home/u/Re\u00E7u 2.pdf"_s;
    EXPECT_EQ(copy[0].extraFilePath(), QByteArray("/home/u/Re\xC3\xA7u 2.pdf"));
}

} // namespace
