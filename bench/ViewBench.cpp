// How fast the list answers with 100,000 events: a click on a header (a sort) and a keystroke in
// the search field (a filter over a sorted list), each with the list's own update that follows.
// Each must answer within 200 ms.
#include "core/Clock.h"
#include "core/ReminderBook.h"
#include "ui/EventTableModel.h"
#include "ui/EventViewModel.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <future>
#include <memory>

namespace {

constexpr int kEvents = 100'000;

class StillClock : public Clock
{
public:
    [[nodiscard]] QDateTime now() const override { return {QDate(2026, 12, 8), QTime(12, 0)}; }
};

EventList manyEvents()
{
    EventList events;
    for (int i = 0; i < kEvents; ++i) {
        Event e;
        // Dates and times spread over the years and the day, out of the file's order.
        const int n = (i * 7919) % kEvents;
        e.date = QStringLiteral("%1.%2.%3")
                     .arg(1 + n % 28, 2, 10, QLatin1Char('0'))
                     .arg(1 + n / 28 % 12, 2, 10, QLatin1Char('0'))
                     .arg(2027 + n % 9);
        e.time = QStringLiteral("%1:%2:%3")
                     .arg(n % 24, 2, 10, QLatin1Char('0'))
                     .arg(n / 24 % 60, 2, 10, QLatin1Char('0'))
                     .arg(i % 60, 2, 10, QLatin1Char('0'));
        e.title = QStringLiteral("Call the dentist about appointment %1").arg(n);
        e.message =
            QStringLiteral("Bring the insurance card and the X-ray; ask about the bill (ref. %1). "
                           "Grüße an Frau Müller.")
                .arg(i * 31);
        e.status = i % 4 == 0 ? QStringLiteral("Done") : QStringLiteral("Active");
        events.append(std::move(e));
    }
    return events;
}

/// A book of 100,000 events shown in a list of the window's size, as the program shows it.
struct ShownList
{
    ShownList() : book(clock, ProgramFolder::ofExecutable(dir.filePath(QStringLiteral("dorvane"))))
    {
        std::promise<EventList> events;
        events.set_value(manyEvents());
        book.open(ProgramSettings{}, events.get_future());
        book.setStatusWords(QStringLiteral("Active"), QStringLiteral("Done"));
        view.setModel(&shown);
        view.setUniformRowHeights(true);
        view.setSortingEnabled(true);
        view.resize(520, 270);
        view.show();
        QApplication::processEvents();
    }
    void settle() { QApplication::processEvents(); }

    QTemporaryDir dir;
    StillClock clock;
    ReminderBook book;
    EventTableModel model{book};
    EventViewModel shown{model};
    QTreeView view;
};

ShownList& shownList()
{
    static ShownList list;
    return list;
}

void BM_SortByHeader(benchmark::State& state)
{
    ShownList& list = shownList();
    list.shown.setSearchText({});
    const int column = static_cast<int>(state.range(0));
    bool descending = false;
    for (auto _ : state) {
        list.view.sortByColumn(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        list.settle();
        descending = !descending;
    }
    list.view.sortByColumn(-1, Qt::AscendingOrder);
}

void BM_SearchKeystroke(benchmark::State& state)
{
    // A sorted list, the typed text matching a tenth of the rows, then one more letter matching
    // a hundredth of them, and back.
    ShownList& list = shownList();
    list.view.sortByColumn(EventTableModel::DateColumn, Qt::AscendingOrder);
    // Arg 1: the text emptied (Escape, or the last letter erased): every row back, sorted.
    const QString texts[] = {state.range(0) == 1 ? QString() : QStringLiteral("appointment 1"),
                             QStringLiteral("appointment 12")};
    int next = 0;
    for (auto _ : state) {
        list.shown.setSearchText(texts[next]);
        list.settle();
        next = 1 - next;
    }
    list.shown.setSearchText({});
    list.view.sortByColumn(-1, Qt::AscendingOrder);
}

BENCHMARK(BM_SortByHeader)
    ->Arg(EventTableModel::DateColumn)
    ->Arg(EventTableModel::TitleColumn)
    ->Arg(EventTableModel::StatusColumn)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_SearchKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
