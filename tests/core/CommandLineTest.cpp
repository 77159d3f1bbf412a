#include "core/CommandLine.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace CommandLine;

namespace {

const QDateTime kNow(QDate(2026, 3, 10), QTime(12, 0, 0, 500));

QStringList split(const char* line)
{
    return QString::fromUtf8(line).split(u'|');
}

// Arguments are separated by '|' so that values may hold blanks.
TEST(CommandLineTest, GoodLines)
{
    struct Case
    {
        const char* line;
        QString title;
        QString message;
        QDateTime due;
        std::optional<QString> sound;
        QString file;
        QByteArray repeat;
    };
    const Case cases[] = {
        {"--add|--title|Tea|--in|90s", u"Tea"_s, {}, kNow.addSecs(90), {}, {}, {}},
        {"--add|--in|1h30m|--title|Tea|--message|Green, not black",
         u"Tea"_s,
         u"Green, not black"_s,
         kNow.addSecs(5400),
         {},
         {},
         {}},
        {"--add|--title| |--in|2h", u" "_s, {}, kNow.addSecs(7200), {}, {}, {}},
        {"--add|--title=Чай|--message=--in|--in=10m",
         u"Чай"_s,
         u"--in"_s,
         kNow.addSecs(600),
         {},
         {},
         {}},
        {"--add|--title|Call|--at|2026-03-10 12:01",
         u"Call"_s,
         {},
         QDateTime(QDate(2026, 3, 10), QTime(12, 1)),
         {},
         {},
         {}},
        {"--add|--title|Call|--at|2028-02-29 23:59:59|--sound|bell.mp3|--file|notes.txt|--repeat|"
         "Weekdays",
         u"Call"_s,
         {},
         QDateTime(QDate(2028, 2, 29), QTime(23, 59, 59)),
         u"bell.mp3"_s,
         u"notes.txt"_s,
         "Weekdays"},
        {"--add|--title|Quiet|--in|1m|--sound=", u"Quiet"_s, {}, kNow.addSecs(60), u""_s, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const Request request = parse(split(c.line), kNow);
        const auto* add = std::get_if<AddReminder>(&request);
        ASSERT_NE(add, nullptr) << (std::holds_alternative<Mistake>(request)
                                        ? qPrintable(std::get<Mistake>(request).text())
                                        : "not --add");
        EXPECT_EQ(add->title, c.title);
        EXPECT_EQ(add->message, c.message);
        EXPECT_EQ(add->due, c.due);
        EXPECT_EQ(add->soundFile, c.sound);
        EXPECT_EQ(add->extraFile, c.file);
        EXPECT_EQ(add->repeat, c.repeat);
    }

    // The event it makes: the due second as the events file writes it, the default sound unless
    // one is named (empty: none).
    AddReminder add{u"Tea"_s, u"Green"_s, kNow.addSecs(90), std::nullopt, u"x.txt"_s, "Daily"};
    Event event = newEvent(add, u"Active"_s, u"/p/sounds/alarm.wav"_s);
    EXPECT_EQ(event.date, u"10.03.2026"_s);
    EXPECT_EQ(event.time, u"12:01:30"_s);
    EXPECT_EQ(event.status, u"Active"_s);
    EXPECT_EQ(event.soundFile, u"/p/sounds/alarm.wav"_s);
    EXPECT_EQ(event.extraFile, u"x.txt"_s);
    EXPECT_EQ(event.repeat, "Daily");
    EXPECT_FALSE(event.countdown);
    add.soundFile = QString();
    EXPECT_EQ(newEvent(add, u"Active"_s, u"/p/sounds/alarm.wav"_s).soundFile, QString());

    EXPECT_TRUE(std::holds_alternative<StartProgram>(parse({}, kNow)));
    // Qt's own options and a session manager's restart start the program as before.
    EXPECT_TRUE(std::holds_alternative<StartProgram>(parse(split("-platform|offscreen"), kNow)));
    EXPECT_TRUE(std::holds_alternative<StartProgram>(parse(split("-session|1234_5"), kNow)));
    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse(split("--help"), kNow)));
    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse(split("-h"), kNow)));
    EXPECT_TRUE(std::holds_alternative<ShowVersion>(parse(split("--version"), kNow)));
    const Request list = parse(split("--list"), kNow);
    ASSERT_TRUE(std::holds_alternative<ListReminders>(list));
    EXPECT_FALSE(std::get<ListReminders>(list).json);
    const Request json = parse(split("--list|--json"), kNow);
    ASSERT_TRUE(std::holds_alternative<ListReminders>(json));
    EXPECT_TRUE(std::get<ListReminders>(json).json);
}

// Each bad line names the argument at fault and says what is wrong with it.
TEST(CommandLineTest, BadLines)
{
    struct Case
    {
        const char* line;
        QString argument;
        const char* reasonHas;
    };
    const Case cases[] = {
        {"--add|--in|10m", u"--title"_s, "missing"},
        {"--add|--title||--in|10m", u"--title"_s, "empty"},
        {"--add|--title=|--in|10m", u"--title"_s, "empty"},
        {"--add|--title|Tea", u"--add"_s, "--at"},
        {"--add|--title", u"--title"_s, "needs a value"},
        {"--add|--title|--in|10m", u"--title"_s, "needs a value"},
        {"--add|--title|Tea|--title|Tea|--in|1m", u"--title"_s, "twice"},
        {"--add|--title|Tea|--in|10m|--at|2027-01-01 10:00", u"--in"_s, "--at"},
        {"--add|--title|Tea|--at|2026-02-30 10:00", u"--at"_s, "date that does not exist"},
        {"--add|--title|Tea|--at|2026-13-01 10:00", u"--at"_s, "date that does not exist"},
        {"--add|--title|Tea|--at|2026-04-01 24:00", u"--at"_s, "time of day"},
        {"--add|--title|Tea|--at|2026-04-01 10:60:00", u"--at"_s, "time of day"},
        {"--add|--title|Tea|--at|1.4.2026 10:00", u"--at"_s, "form"},
        {"--add|--title|Tea|--at|2026-04-01", u"--at"_s, "form"},
        {"--add|--title|Tea|--at|2026-03-10 12:00", u"--at"_s, "already past"},
        {"--add|--title|Tea|--at|2020-01-01 00:00:00", u"--at"_s, "already past"},
        {"--add|--title|Tea|--in|0m", u"--in"_s, "duration"},
        {"--add|--title|Tea|--in|10", u"--in"_s, "duration"},
        {"--add|--title|Tea|--in|10m5h", u"--in"_s, "duration"},
        {"--add|--title|Tea|--in|-5m", u"--in"_s, "duration"},
        {"--add|--title|Tea|--in|1234567890h", u"--in"_s, "duration"},
        {"--add|--title|Tea|--in|99999999h", u"--in"_s, "year"},
        {"--add|--title|Tea|--in|1m|--repeat|daily", u"--repeat"_s, "Daily, Weekdays"},
        {"--add|--title|Tea|--in|1m|--repeat|Hourly", u"--repeat"_s, "not one of"},
        {"--add|--title|Tea|--in|1m|--json", u"--json"_s, "--list"},
        {"--add|--title|Tea|--in|1m|--list", u"--list"_s, "one command"},
        {"--add|--title|Tea|--in|1m|--colour|red", u"--colour"_s, "unknown"},
        {"--title|Tea|--in|1m", u"--title"_s, "--add"},
        {"--json", u"--json"_s, "--list"},
        {"-platform|offscreen|--list", u"-platform"_s, "command comes first"},
        {"--list|--json|--json", u"--json"_s, "twice"},
        {"--list|--all", u"--all"_s, "unknown"},
        {"--help|--add", u"--add"_s, "--help"},
        {"--version|x", u"x"_s, "--version"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const Request request = parse(split(c.line), kNow);
        const auto* wrong = std::get_if<Mistake>(&request);
        ASSERT_NE(wrong, nullptr);
        EXPECT_EQ(wrong->argument, c.argument);
        EXPECT_TRUE(wrong->reason.contains(QString::fromUtf8(c.reasonHas)))
            << qPrintable(wrong->text());
    }
}

} // namespace
