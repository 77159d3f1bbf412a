// One tick of the reminder book over its rows, with no event due; no window, no desktop.
#include "core/Clock.h"
#include "core/EventsFile.h"
#include "core/ReminderBook.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <future>

namespace {

struct FixedClock : Clock
{
    [[nodiscard]] QDateTime now() const override { return current; }
    QDateTime current{QDate(2026, 12, 8), QTime(12, 0, 0)};
};

void BM_Tick(benchmark::State& state)
{
    QTemporaryDir dir;
    FixedClock clock;
    ReminderBook book(clock, ProgramFolder::ofExecutable(dir.filePath(QStringLiteral("dorvane"))));
    book.setStatusWords(QStringLiteral("Active"), QStringLiteral("Done"));
    EventList events;
    for (int i = 0; i < state.range(0); ++i) {
        Event e;
        e.date = QStringLiteral("%1.01.2027").arg(1 + i % 28, 2, 10, QLatin1Char('0'));
        e.time = QStringLiteral("12:00:00");
        e.title = QStringLiteral("Event %1").arg(i);
        e.status = i % 4 == 0 ? QStringLiteral("Done") : QStringLiteral("Active");
        events.append(e);
    }
    std::promise<EventList> read;
    read.set_value(std::move(events));
    book.open({}, read.get_future());
    for (auto _ : state) {
        clock.current = clock.current.addSecs(1);
        book.tick();
    }
}

BENCHMARK(BM_Tick)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
