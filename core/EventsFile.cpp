#include "core/EventsFile.h"

#include "base/AppError.h"
#include "inifile/ProfileSession.h"

#include <algorithm>
#include <charconv>
#include <future>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

const std::string kDate = "Date";
const std::string kTime = "Time";
const std::string kCountdown = "Countdown";
const std::string kTitle = "Title";
const std::string kMessage = "Message";
const std::string kSoundFile = "Sound File";
const std::string kExtraFile = "Extra File";
const std::string kStatus = "Status";
const std::string kRepeat = "Repeat";
const std::string kRepeatDay = "Repeat Day";
const std::string kUid = "UID";

// Sections numbered from here on are not read (nor written): a damaged or hostile file naming
// "Event999999999" must not make us build a billion records of defaults. No real list comes near.
constexpr long long kMaxEvents = 100000;
// From how many events a load builds its records on two threads.
constexpr std::size_t kThreadedFrom = 4096;

std::string sectionName(std::size_t index)
{
    return "Event" + std::to_string(index);
}

/// The index of a section named exactly "Event" + decimal without leading zeros (any letter
/// case, as sections match regardless of case), or -1.
long long eventIndex(std::string_view name)
{
    if (name.size() <= 5 || name.size() > 5 + 10)
        return -1;
    for (std::size_t i = 0; i < 5; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != "event"[i])
            return -1;
    const char* first = name.data() + 5;
    const char* last = name.data() + name.size();
    if (*first == '0' && last - first > 1)
        return -1;
    long long value = -1;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || value < 0)
        return -1;
    return value;
}

/// The texts of one field over a load. Dates, times, sound files and statuses repeat across
/// events: each distinct UTF-8 value is decoded once and its text shared (implicitly, as QString
/// is), which saves most of a big list's memory. Keyed by the bytes in the file, which stay in
/// place while nothing is written. Bytes that are not UTF-8 are decoded for each event, which
/// keeps them.
class SharedTexts
{
public:
    explicit SharedTexts(TextField field) : m_field(field) {}

    QString get(std::string_view bytes, StoredText& stored)
    {
        // Neighbours often agree (one sound for all, most events active): no lookup then.
        if (m_last && bytes == m_last->first)
            return m_last->second;
        if (const auto it = m_decoded.find(bytes); it != m_decoded.end()) {
            m_last = &*it;
            return it->second;
        }
        QString decoded = stored.decode(m_field, bytes);
        if (isUtf8(bytes))
            m_last = &*m_decoded.try_emplace(bytes, decoded).first;
        return decoded;
    }

private:
    TextField m_field;
    std::unordered_map<std::string_view, QString> m_decoded;
    const std::pair<const std::string_view, QString>* m_last = nullptr;
};

using Sections = std::vector<const profile::ProfileSession::SectionReader*>;

/// The "Event<N>" sections among all, by N, up to the highest N present (within the cap); null
/// where a number is missing.
Sections eventSections(const std::vector<profile::ProfileSession::SectionReader>& all)
{
    Sections byIndex;
    for (const profile::ProfileSession::SectionReader& section : all) {
        const long long index = eventIndex(section.name());
        if (index < 0 || index >= kMaxEvents)
            continue;
        const auto at = static_cast<std::size_t>(index);
        if (at >= byIndex.size())
            byIndex.resize(at + 1);
        byIndex[at] = &section;
    }
    return byIndex;
}

/// Builds the records from first up to before last. Reads only, so that parts of one list may be
/// built at once.
void readEvents(const Sections& sections, std::size_t first, std::size_t last,
                const QString& defaultSound, EventList& events)
{
    SharedTexts dates(TextField::Date);
    SharedTexts times(TextField::Time);
    SharedTexts sounds(TextField::SoundFile);
    SharedTexts statuses(TextField::Status);
    for (std::size_t i = first; i < last; ++i) {
        Event& e = events[i];
        const profile::ProfileSession::SectionReader* section = sections[i];
        if (!section) {
            e.soundFile = defaultSound;
            continue;
        }
        const auto read = [section, &e](const std::string& key, TextField field,
                                        SharedTexts* shared, const QString& def = {}) {
            const auto bytes = section->readView(key);
            if (!bytes)
                return def;
            return shared ? shared->get(*bytes, e.stored) : e.stored.decode(field, *bytes);
        };
        e.date = read(kDate, TextField::Date, &dates);
        e.time = read(kTime, TextField::Time, &times);
        e.countdown = section->readInt(kCountdown, 0) != 0;
        e.title = read(kTitle, TextField::Title, nullptr);
        e.message = read(kMessage, TextField::Message, nullptr);
        e.soundFile = read(kSoundFile, TextField::SoundFile, &sounds, defaultSound);
        e.extraFile = read(kExtraFile, TextField::ExtraFile, nullptr);
        e.status = read(kStatus, TextField::Status, &statuses);
        if (const auto repeat = section->readView(kRepeat))
            e.repeat = QByteArray(repeat->data(), static_cast<qsizetype>(repeat->size()));
        e.repeatDay = std::clamp(section->readInt(kRepeatDay, 0), 0, 31);
        if (const auto uid = section->readView(kUid))
            e.uid = QByteArray(uid->data(), static_cast<qsizetype>(uid->size()));
    }
}

} // namespace

namespace EventsFile {

EventList load(const QString& fileName, std::optional<int> limit, const QString& defaultSound)
{
    EventList events;
    const profile::ProfileSession file(fileName.toStdString());
    if (const auto error = file.readError())
        throw AppError("Cannot read " + fileName.toStdString() + ": " + *error);
    if (limit && *limit <= 0)
        return events;
    // The count says events are there: an empty list now would be saved over them when the file
    // comes back (a dangling link, a folder not mounted yet).
    if (const auto missing = file.missingError(); missing && limit)
        throw AppError("Cannot read " + fileName.toStdString() + ": " + *missing);
    const std::vector<profile::ProfileSession::SectionReader> all = file.sections();
    const Sections sections = eventSections(all);
    const std::size_t total =
        limit ? std::min(static_cast<std::size_t>(*limit), sections.size()) : sections.size();

    events.resize(total);
    const auto fill = [&](std::size_t first, std::size_t last) {
        readEvents(sections, first, last, defaultSound, events);
    };
    // Building the records is most of a big load, mainly in allocating their texts: the second
    // half is built on a thread of its own. A small list is not worth a thread.
    if (total < kThreadedFrom) {
        fill(0, total);
    } else {
        const std::size_t half = total / 2;
        auto second = std::async(std::launch::async, fill, half, total);
        fill(0, half);
        second.get();
    }
    return events;
}

namespace {

void writeEvents(profile::ProfileSession& file, const EventList& events)
{
    std::size_t i = 0;
    for (const Event& e : events) {
        const std::string section = sectionName(i++);
        // A text nobody changed goes back as the bytes it came as, whatever their encoding.
        file.writeString(section, kDate, e.stored.encode(TextField::Date, e.date));
        file.writeString(section, kTime, e.stored.encode(TextField::Time, e.time));
        file.writeString(section, kCountdown, e.countdown ? "1" : "0");
        file.writeString(section, kTitle, e.stored.encode(TextField::Title, e.title));
        file.writeString(section, kMessage, e.stored.encode(TextField::Message, e.message));
        file.writeString(section, kSoundFile, e.stored.encode(TextField::SoundFile, e.soundFile));
        file.writeString(section, kExtraFile, e.stored.encode(TextField::ExtraFile, e.extraFile));
        file.writeString(section, kStatus, e.stored.encode(TextField::Status, e.status));
        // Written where there is something to say or to take back: a file of events that never
        // repeat stays as earlier versions wrote it.
        if (!e.repeat.isEmpty() || file.readView(section, kRepeat))
            file.writeString(section, kRepeat, std::string_view(e.repeat.data(), e.repeat.size()));
        if (e.repeatDay > 0 || file.readView(section, kRepeatDay))
            file.writeString(section, kRepeatDay,
                             e.repeatDay > 0 ? std::to_string(e.repeatDay) : std::string());
        if (!e.uid.isEmpty() || file.readView(section, kUid))
            file.writeString(section, kUid, std::string_view(e.uid.data(), e.uid.size()));
    }
}

} // namespace

void save(const QString& fileName, const EventList& events, std::size_t readSections)
{
    profile::ProfileSession file(fileName.toStdString());
    writeEvents(file, events);
    for (std::size_t i = events.size(); i < readSections; ++i)
        file.eraseSection(sectionName(i));
    file.commit();
}

void save(const QString& fileName, const EventList& events)
{
    profile::ProfileSession file(fileName.toStdString());
    writeEvents(file, events);
    // Until none is left: erasing a section uncovers a later one of the same name.
    for (std::vector<std::string> past = {""}; !past.empty();) {
        past.clear();
        for (const profile::ProfileSession::SectionReader& section : file.sections())
            if (const long long index = eventIndex(section.name());
                index >= 0 && static_cast<std::size_t>(index) >= events.size())
                past.emplace_back(section.name());
        for (const std::string& name : past)
            file.eraseSection(name);
    }
    file.commit();
}

} // namespace EventsFile
