// Feeds arbitrary bytes to the events loader as an events file, and the same bytes to the
// settings reader. Checks: no crash or sanitizer report, a limit reads a prefix of the whole
// list, and what is loaded survives a save and a second load unchanged, both in a new file and
// written over the damaged one (as the program does when it ends).
#include "core/EventsFile.h"
#include "core/ProgramSettings.h"
#include "fuzz/FuzzSupport.h"

#include <QFile>
#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

using fuzz::check;

constexpr int kMostEvents = 1000;

bool isPrefix(const EventList& part, const EventList& whole)
{
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

bool same(const EventList& a, const EventList& b)
{
    return a.size() == b.size() && isPrefix(a, b);
}

EventList load(const QString& fileName, std::optional<int> limit)
{
    return EventsFile::load(fileName, limit, QStringLiteral("/opt/dorvane/sounds/alarm.wav"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzDir dir("fuzz-events");
    const QString damaged = QString::fromStdString(dir.file("events.ini"));
    const QString fresh = QString::fromStdString(dir.file("saved.ini"));
    fuzz::writeBytes(damaged.toStdString(), std::string(reinterpret_cast<const char*>(data), size));
    QFile::remove(fresh);

    // A file naming "Event99999" makes a hundred thousand records of defaults, which takes
    // seconds with the fuzzer's instrumentation and tells nothing new: such inputs are left out.
    if (load(damaged, kMostEvents + 1).size() > std::size_t{kMostEvents})
        return -1;
    const EventList all = load(damaged, std::nullopt);
    // -2..6: none, a few, and more than most inputs hold.
    const int limit = static_cast<int>(size % 9) - 2;
    const EventList some = load(damaged, limit);
    check(some.size() == std::min<std::size_t>(std::max(limit, 0), all.size()),
          "a limit reads the wrong number of events");
    check(isPrefix(some, all), "a limit reads other events than the first ones");

    const ProgramSettings settings = ProgramSettings::read(damaged);
    if (settings.eventCount) {
        check(*settings.eventCount >= 0, "a negative event count");
        check(isPrefix(load(damaged, settings.eventCount), all),
              "the stored count reads other events than the first ones");
    }

    EventsFile::save(fresh, all);
    check(same(load(fresh, std::nullopt), all), "a saved list reads back differently");
    EventsFile::save(damaged, all);
    check(same(load(damaged, std::nullopt), all),
          "a list saved over its own file reads back differently");
    return 0;
}
