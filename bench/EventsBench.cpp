// Load and save of the events file through one batch session each.
#include "core/EventsFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

EventList realisticEvents(int count)
{
    EventList events;
    for (int i = 0; i < count; ++i) {
        Event e;
        e.date = QStringLiteral("%1.%2.2027")
                     .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                     .arg(1 + i % 12, 2, 10, QLatin1Char('0'));
        e.time = QStringLiteral("%1:%2:00")
                     .arg(i % 24, 2, 10, QLatin1Char('0'))
                     .arg(i % 60, 2, 10, QLatin1Char('0'));
        e.title = QStringLiteral("Call the dentist about appointment %1").arg(i);
        e.message =
            QStringLiteral("Bring the insurance card and the X-ray from last year; ask about the "
                           "bill of 12 March (ref. %1). Grüße an Frau Müller.")
                .arg(i * 7919);
        e.soundFile = QStringLiteral("/home/anna/Music/Alarms/Morning bell %1.mp3").arg(i % 5);
        e.extraFile =
            i % 3 == 0 ? QStringLiteral("/home/anna/Documents/notes %1.pdf").arg(i) : QString();
        e.status = i % 4 == 0 ? QStringLiteral("Done") : QStringLiteral("Active");
        e.countdown = i % 10 == 0;
        events.append(std::move(e));
    }
    return events;
}

void BM_LoadEvents(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("events.ini"));
    EventsFile::save(file, realisticEvents(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        EventList loaded = EventsFile::load(file, std::nullopt, QStringLiteral("/x/alarm.wav"));
        benchmark::DoNotOptimize(loaded);
    }
    state.SetComplexityN(state.range(0));
}

void BM_SaveEvents(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("events.ini"));
    const EventList events = realisticEvents(static_cast<int>(state.range(0)));
    EventsFile::save(file, events);
    EventList changed = events; // every status flipped: each save rewrites values in place
    // EventList hands out its events for writing by index only.
    for (std::size_t i = 0; i < changed.size(); ++i) // NOLINT(modernize-loop-convert)
        changed[i].status = QStringLiteral("Done");
    bool flip = false;
    for (auto _ : state) {
        EventsFile::save(file, (flip = !flip) ? changed : events);
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_LoadEvents)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveEvents)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
