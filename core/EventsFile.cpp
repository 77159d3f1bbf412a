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
             StoredText& stored, TextField field, const QString& def = {})
{
    const auto value = file.readView(section, key);
    return value ? stored.decode(field, *value) : def;
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

    SharedTexts dates(TextField::Date);
    SharedTexts times(TextField::Time);
    SharedTexts sounds(TextField::SoundFile);
    SharedTexts statuses(TextField::Status);
    const auto shared = [&file](SharedTexts& texts, const std::string& section,
                                const std::string& key, StoredText& stored,
                                const QString& def = {}) {
        const auto bytes = file.readView(section, key);
        return bytes ? texts.get(*bytes, stored) : def;
    };
    events.reserve(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i) {
        const std::string section = sectionName(static_cast<std::size_t>(i));
        Event e;
        e.date = shared(dates, section, kDate, e.stored);
        e.time = shared(times, section, kTime, e.stored);
        e.countdown = file.readInt(section, kCountdown, 0) != 0;
        e.title = text(file, section, kTitle, e.stored, TextField::Title);
        e.message = text(file, section, kMessage, e.stored, TextField::Message);
        e.soundFile = shared(sounds, section, kSoundFile, e.stored, defaultSound);
        e.extraFile = text(file, section, kExtraFile, e.stored, TextField::ExtraFile);
        e.status = shared(statuses, section, kStatus, e.stored);
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
        // A text nobody changed goes back as the bytes it came as, whatever their encoding.
        file.writeString(section, kDate, e.stored.encode(TextField::Date, e.date));
        file.writeString(section, kTime, e.stored.encode(TextField::Time, e.time));
        file.writeString(section, kCountdown, e.countdown ? "1" : "0");
        file.writeString(section, kTitle, e.stored.encode(TextField::Title, e.title));
        file.writeString(section, kMessage, e.stored.encode(TextField::Message, e.message));
        file.writeString(section, kSoundFile, e.stored.encode(TextField::SoundFile, e.soundFile));
        file.writeString(section, kExtraFile, e.stored.encode(TextField::ExtraFile, e.extraFile));
        file.writeString(section, kStatus, e.stored.encode(TextField::Status, e.status));
    }
    file.commit();
}

} // namespace EventsFile
