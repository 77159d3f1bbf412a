#include "core/EventsFile.h"

#include "inifile/ProfileSession.h"
#include "platform/AppError.h"

#include <algorithm>
#include <charconv>
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

// A damaged or hostile file naming "Event999999999" must not make us build a billion records
// of defaults; no real list comes near this.
constexpr long long kMaxEvents = 100000;

std::string sectionName(std::size_t index)
{
    return "Event" + std::to_string(index);
}

/// The index of a section named exactly "Event" + decimal without leading zeros (any letter
/// case, as sections match regardless of case), or -1.
long long eventIndex(const std::string& name)
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

QString text(const ProfileSession& file, const std::string& section, const std::string& key,
             const QString& def = {})
{
    const auto value = file.readView(section, key);
    return value ? QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size())) : def;
}

/// The texts of one field over a load. Dates, times, sound files and statuses repeat across
/// events: each distinct value is decoded once and its text shared (implicitly, as QString is),
/// which saves most of a big list's memory. Keyed by the bytes in the file, which stay in place
/// while nothing is written.
class SharedTexts
{
public:
    template <typename Decode> QString get(std::string_view bytes, Decode decode)
    {
        // Neighbours often agree (one sound for all, most events active): no lookup then.
        if (m_last && bytes == m_last->first)
            return m_last->second;
        const auto [it, added] = m_decoded.try_emplace(bytes);
        if (added)
            it->second = decode();
        m_last = &*it;
        return it->second;
    }

private:
    std::unordered_map<std::string_view, QString> m_decoded;
    const std::pair<const std::string_view, QString>* m_last = nullptr;
};

} // namespace

namespace EventsFile {

EventList load(const QString& fileName, std::optional<int> limit, const QString& defaultSound)
{
    EventList events;
    const ProfileSession file(fileName.toStdString());
    if (const auto error = file.readError())
        throw AppError("Cannot read " + fileName.toStdString() + ": " + *error);
    if (limit && *limit <= 0)
        return events;
    long long present = 0;
    for (const std::string& name : file.sectionNames())
        present = std::max(present, eventIndex(name) + 1);
    const long long count =
        std::min(limit ? std::min<long long>(*limit, present) : present, kMaxEvents);

    SharedTexts dates;
    SharedTexts times;
    SharedTexts sounds;
    SharedTexts statuses;
    const auto shared = [&file](SharedTexts& texts, const std::string& section,
                                const std::string& key, const QString& def = {}) {
        const auto bytes = file.readView(section, key);
        return bytes ? texts.get(*bytes, [&] { return text(file, section, key, def); }) : def;
    };
    events.reserve(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i) {
        const std::string section = sectionName(static_cast<std::size_t>(i));
        Event e;
        e.date = shared(dates, section, kDate);
        e.time = shared(times, section, kTime);
        e.countdown = file.readInt(section, kCountdown, 0) != 0;
        e.title = text(file, section, kTitle);
        e.message = text(file, section, kMessage);
        e.soundFile = shared(sounds, section, kSoundFile, defaultSound);
        e.extraFile = text(file, section, kExtraFile);
        e.status = shared(statuses, section, kStatus);
        events.append(std::move(e));
    }
    return events;
}

void save(const QString& fileName, const EventList& events)
{
    ProfileSession file(fileName.toStdString());
    std::size_t i = 0;
    for (const Event& e : events) {
        const std::string section = sectionName(i++);
        file.writeString(section, kDate, e.date.toStdString());
        file.writeString(section, kTime, e.time.toStdString());
        file.writeString(section, kCountdown, e.countdown ? "1" : "0");
        file.writeString(section, kTitle, e.title.toStdString());
        file.writeString(section, kMessage, e.message.toStdString());
        file.writeString(section, kSoundFile, e.soundFile.toStdString());
        file.writeString(section, kExtraFile, e.extraFile.toStdString());
        file.writeString(section, kStatus, e.status.toStdString());
    }
    file.commit();
}

} // namespace EventsFile
