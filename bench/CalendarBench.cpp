// Import of a big calendar file as other programs write them: a zone of the file's own, alarms,
// mapped and unmapped rules, escaped texts.
#include "core/CalendarFile.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray bigCalendar(int count)
{
    QByteArray text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example//Calendar//EN\r\n"
                      "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\n"
                      "DTSTART:19701025T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
                      "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\n"
                      "BEGIN:DAYLIGHT\r\nDTSTART:19700329T020000\r\n"
                      "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nTZOFFSETFROM:+0100\r\n"
                      "TZOFFSETTO:+0200\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";
    const char* rules[] = {"", "RRULE:FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR\r\n",
                           "RRULE:FREQ=MONTHLY\r\n", "RRULE:FREQ=DAILY;INTERVAL=2\r\n"};
    for (int i = 0; i < count; ++i) {
        text += QStringLiteral("BEGIN:VEVENT\r\nUID:%1-bench@example.org\r\n"
                               "DTSTAMP:20261201T100000Z\r\n"
                               "DTSTART;TZID=Europe/Berlin:2027%2%3T%4\r\n"
                               "DTEND;TZID=Europe/Berlin:2027%2%3T235900\r\n"
                               "SUMMARY:Call the dentist\\, about appointment %1\r\n"
                               "DESCRIPTION:Bring the insurance card\\; ask about the bill\\n"
                               "of 12 March (ref. %1).\r\n")
                    .arg(i)
                    .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                    .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                    .arg(QString::asprintf("%02d%02d00", i % 24, i % 60))
                    .toUtf8();
        text += rules[i % 4];
        text += "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\nTRIGGER:-PT15M\r\n"
                "END:VALARM\r\nEND:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

void BM_ImportCalendar(benchmark::State& state)
{
    const QByteArray text = bigCalendar(static_cast<int>(state.range(0)));
    CalendarFile::Context context;
    context.now = QDateTime(QDate(2026, 12, 9), QTime(12, 0));
    context.activeWord = QStringLiteral("Active");
    context.doneWord = QStringLiteral("Done");
    for (auto _ : state) {
        const CalendarFile::Imported imported = CalendarFile::read(text, context);
        benchmark::DoNotOptimize(imported.events.size());
    }
}
BENCHMARK(BM_ImportCalendar)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
