// Calendar files: texts the way other programs write them become the right reminders, a damaged
// text names its line and gives nothing, a second import adds nothing, and an export reads back
// as the events it came from.
#include "core/CalendarFile.h"

#include "base/AppError.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QTimeZone kBerlin("Europe/Berlin");

CalendarFile::Context context()
{
    CalendarFile::Context c;
    c.now = QDateTime(QDate(2026, 12, 9), QTime(12, 0), kBerlin);
    c.zone = kBerlin;
    c.activeWord = QStringLiteral("Active");
    c.doneWord = QStringLiteral("Done");
    c.defaultSound = QStringLiteral("ding.mp3");
    return c;
}

/// A calendar around body, with a zone of a fixed +03:00 that no zone database knows.
QByteArray calendar(const QStringList& body)
{
    QStringList lines = {"BEGIN:VCALENDAR",
                         "VERSION:2.0",
                         "PRODID:-//Example Corp.//Calendar 1.0//EN",
                         "BEGIN:VTIMEZONE",
                         "TZID:Custom/Plus Three",
                         "BEGIN:STANDARD",
                         "DTSTART:19700101T000000",
                         "TZOFFSETFROM:+0300",
                         "TZOFFSETTO:+0300",
                         "END:STANDARD",
                         "END:VTIMEZONE"};
    lines += body;
    lines += "END:VCALENDAR";
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

QStringList vevent(const QStringList& lines, const char* kind = "VEVENT")
{
    return QStringList{QStringLiteral("BEGIN:%1").arg(kind)} + lines +
           QStringList{QStringLiteral("END:%1").arg(kind)};
}

TEST(CalendarFileTest, ImportsWhatOtherProgramsWrite)
{
    struct Case
    {
        const char* name;
        QStringList lines;
        const char* kind;
        const char* date;
        const char* time;
        const char* title;
        const char* message;
        const char* repeat;
        const char* status;
        int simplified;
    };
    const Case cases[] = {
        {"zone the file describes",
         {"UID:a1", "DTSTART;TZID=Custom/Plus Three:20270115T090000", "SUMMARY:Call"},
         "VEVENT",
         "15.01.2027",
         "07:00:00",
         "Call",
         "",
         "",
         "Active",
         0},
        {"zone from the system database",
         {"UID:a2", "DTSTART;TZID=Asia/Tokyo:20270115T180000", "SUMMARY:Tokyo"},
         "VEVENT",
         "15.01.2027",
         "10:00:00",
         "Tokyo",
         "",
         "",
         "Active",
         0},
        {"UTC",
         {"UID:a3", "DTSTART:20270715T120000Z", "SUMMARY:Summer"},
         "VEVENT",
         "15.07.2027",
         "14:00:00",
         "Summer",
         "",
         "",
         "Active",
         0},
        {"floating",
         {"UID:a4", "DTSTART:20270115T120000", "SUMMARY:Noon"},
         "VEVENT",
         "15.01.2027",
         "12:00:00",
         "Noon",
         "",
         "",
         "Active",
         0},
        {"folded and escaped",
         {"UID:a5", "DTSTART:20270115T120000", "SUMMARY:Lunch\\, then talk\\; bring", "  notes",
          "DESCRIPTION:Line one\\nLine two\\, three"},
         "VEVENT",
         "15.01.2027",
         "12:00:00",
         "Lunch, then talk; bring notes",
         "Line one Line two, three",
         "",
         "Active",
         0},
        {"alarm before the start",
         {"UID:a6", "DTSTART:20270115T093000", "SUMMARY:Meeting", "BEGIN:VALARM", "ACTION:DISPLAY",
          "DESCRIPTION:Reminder", "TRIGGER:-PT10M", "END:VALARM", "BEGIN:VALARM", "ACTION:DISPLAY",
          "DESCRIPTION:Again", "TRIGGER:-PT1H", "END:VALARM"},
         "VEVENT",
         "15.01.2027",
         "09:20:00",
         "Meeting",
         "",
         "",
         "Active",
         0},
        {"alarm at a fixed time is no lead",
         {"UID:a7", "DTSTART:20270115T093000", "SUMMARY:Fixed", "BEGIN:VALARM", "ACTION:DISPLAY",
          "DESCRIPTION:R", "TRIGGER;VALUE=DATE-TIME:20270114T090000Z", "END:VALARM"},
         "VEVENT",
         "15.01.2027",
         "09:30:00",
         "Fixed",
         "",
         "",
         "Active",
         0},
        {"all day",
         {"UID:a8", "DTSTART;VALUE=DATE:20270115", "SUMMARY:Birthday"},
         "VEVENT",
         "15.01.2027",
         "09:00:00",
         "Birthday",
         "",
         "",
         "Active",
         0},
        {"to-do with a due time",
         {"UID:a9", "DUE:20270116T170000", "SUMMARY:Report"},
         "VTODO",
         "16.01.2027",
         "17:00:00",
         "Report",
         "",
         "",
         "Active",
         0},
        {"weekdays",
         {"UID:b1", "DTSTART:20270111T083000", "RRULE:FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR",
          "SUMMARY:Standup"},
         "VEVENT",
         "11.01.2027",
         "08:30:00",
         "Standup",
         "",
         "Weekdays",
         "Active",
         0},
        {"weekly on its own day",
         {"UID:b2", "DTSTART:20270111T083000", "RRULE:FREQ=WEEKLY;BYDAY=MO", "SUMMARY:Plan"},
         "VEVENT",
         "11.01.2027",
         "08:30:00",
         "Plan",
         "",
         "Weekly",
         "Active",
         0},
        {"monthly on its own day",
         {"UID:b3", "DTSTART:20270115T083000", "RRULE:FREQ=MONTHLY;BYMONTHDAY=15", "SUMMARY:Rent"},
         "VEVENT",
         "15.01.2027",
         "08:30:00",
         "Rent",
         "",
         "Monthly",
         "Active",
         0},
        {"yearly",
         {"UID:b4", "DTSTART;VALUE=DATE:20270301", "RRULE:FREQ=YEARLY", "SUMMARY:Y"},
         "VEVENT",
         "01.03.2027",
         "09:00:00",
         "Y",
         "",
         "Yearly",
         "Active",
         0},
        {"daily begun in the past stands at its next day",
         {"UID:b5", "DTSTART:20261201T080000", "RRULE:FREQ=DAILY", "SUMMARY:Pills"},
         "VEVENT",
         "10.12.2026",
         "08:00:00",
         "Pills",
         "",
         "Daily",
         "Active",
         0},
        {"an interval: the next occurrence",
         {"UID:c1", "DTSTART:20261201T080000", "RRULE:FREQ=DAILY;INTERVAL=2", "SUMMARY:Water"},
         "VEVENT",
         "11.12.2026",
         "08:00:00",
         "Water",
         "",
         "",
         "Active",
         1},
        {"other days: the next occurrence",
         {"UID:c2", "DTSTART:20261207T080000", "RRULE:FREQ=WEEKLY;BYDAY=MO,TH", "SUMMARY:Gym"},
         "VEVENT",
         "10.12.2026",
         "08:00:00",
         "Gym",
         "",
         "",
         "Active",
         1},
        {"a count all passed: the last, done",
         {"UID:c3", "DTSTART:20261101T080000", "RRULE:FREQ=WEEKLY;COUNT=2", "SUMMARY:Course"},
         "VEVENT",
         "08.11.2026",
         "08:00:00",
         "Course",
         "",
         "",
         "Done",
         1},
        {"passed once: done",
         {"UID:d1", "DTSTART:20260101T100000Z", "SUMMARY:Old"},
         "VEVENT",
         "01.01.2026",
         "11:00:00",
         "Old",
         "",
         "",
         "Done",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CalendarFile::Imported got =
            CalendarFile::read(calendar(vevent(c.lines, c.kind)), context());
        ASSERT_EQ(got.events.size(), 1U);
        const Event& e = got.events[0];
        EXPECT_EQ(e.date, QString::fromUtf8(c.date));
        EXPECT_EQ(e.time, QString::fromUtf8(c.time));
        EXPECT_EQ(e.title, QString::fromUtf8(c.title));
        EXPECT_EQ(e.message, QString::fromUtf8(c.message));
        EXPECT_EQ(e.repeat, QByteArray(c.repeat));
        EXPECT_EQ(e.status, QString::fromUtf8(c.status));
        EXPECT_EQ(e.soundFile, QStringLiteral("ding.mp3"));
        EXPECT_FALSE(e.uid.isEmpty());
        EXPECT_EQ(got.simplified, c.simplified);
    }
}

TEST(CalendarFileTest, DamagedTextNamesItsLine)
{
    struct Case
    {
        const char* name;
        QByteArray text;
        int line;
    };
    const QByteArray good = calendar(vevent({"UID:x", "DTSTART:20270115T120000", "SUMMARY:S"}));
    QByteArray noEnd = good;
    noEnd.chop(static_cast<qsizetype>(qstrlen("END:VCALENDAR\r\n")));
    const Case cases[] = {
        {"a line without a colon",
         calendar(vevent({"UID:x", "DTSTART:20270115T120000", "SUMMARY Meeting"})), 15},
        {"a date that is no date",
         calendar(vevent({"UID:x", "DTSTART:2027XX15T120000", "SUMMARY:S"})), 14},
        {"no end", noEnd, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            const CalendarFile::Imported got = CalendarFile::read(c.text, context());
            ADD_FAILURE() << "read " << got.events.size() << " events";
        } catch (const AppError& error) {
            EXPECT_NE(std::string(error.what()).find("line " + std::to_string(c.line) + ":"),
                      std::string::npos)
                << error.what();
        }
    }
}

TEST(CalendarFileTest, SecondImportAddsNothing)
{
    const QByteArray text =
        calendar(vevent({"UID:same", "DTSTART:20270115T120000", "SUMMARY:One"}) +
                 vevent({"UID:same", "DTSTART:20270116T120000", "SUMMARY:Twin"}) +
                 vevent({"DTSTART:20270117T120000", "SUMMARY:No identifier"}));
    CalendarFile::Context c = context();
    const CalendarFile::Imported first = CalendarFile::read(text, c);
    ASSERT_EQ(first.events.size(), 2U);
    EXPECT_EQ(first.skipped, 1);
    for (std::size_t i = 0; i < first.events.size(); ++i)
        c.knownUids.insert(first.events[i].uid);
    const CalendarFile::Imported second = CalendarFile::read(text, c);
    EXPECT_EQ(second.events.size(), 0U);
    EXPECT_EQ(second.skipped, 3);
}

TEST(CalendarFileTest, ExportReadsBackAsTheSameEvents)
{
    const auto make = [](const char* date, const char* time, const char* title, const char* message,
                         const char* repeat, const char* status) {
        Event e;
        e.date = QString::fromUtf8(date);
        e.time = QString::fromUtf8(time);
        e.title = QString::fromUtf8(title);
        e.message = QString::fromUtf8(message);
        e.repeat = repeat;
        e.status = QString::fromUtf8(status);
        e.soundFile = QStringLiteral("ding.mp3");
        e.uid = CalendarFile::newUid();
        return e;
    };
    EventList events;
    events.append(
        make("15.01.2027", "09:20:00", "Dentist, 2nd floor; bring card", "Room 3", "", "Active"));
    events.append(make("10.12.2026", "08:00:00", "Pills", "", "Daily", "Active"));
    events.append(make("11.12.2026", "08:30:00", "Standup", "", "Weekdays", "Active"));
    events.append(make("14.12.2026", "18:00:00", "Choir", "", "Weekly", "Active"));
    events.append(make("15.01.2027", "10:00:00", "Rent", "", "Monthly", "Active"));
    events.append(make("29.06.2027", "07:00:00", "Ирина", "С днём рождения", "Yearly", "Active"));
    events.append(make("01.02.2026", "10:00:00", "Past", "", "", "Done"));
    const QByteArray text = CalendarFile::write(events, kBerlin);
    EXPECT_TRUE(text.contains("BEGIN:VTIMEZONE")) << text.constData();
    EXPECT_TRUE(text.contains("TZID=Europe/Berlin")) << text.constData();

    const CalendarFile::Imported back = CalendarFile::read(text, context());
    ASSERT_EQ(back.events.size(), events.size());
    EXPECT_EQ(back.simplified, 0);
    for (std::size_t i = 0; i < events.size(); ++i)
        EXPECT_EQ(back.events[i], events[i]) << i;

    // A running countdown goes out at the moment it falls due.
    Event countdown = make("09.12.2026", "00:10:00", "Tea", "", "", "Active");
    countdown.countdown = true;
    EventList one;
    one.append(countdown);
    const QDateTime due(QDate(2026, 12, 9), QTime(12, 5), kBerlin);
    const CalendarFile::Imported tea = CalendarFile::read(
        CalendarFile::write(one, kBerlin, [&](std::size_t) { return due; }), context());
    ASSERT_EQ(tea.events.size(), 1U);
    EXPECT_EQ(tea.events[0].time, QStringLiteral("12:05:00"));
}

} // namespace
