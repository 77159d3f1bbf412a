#include "core/ProgramSettings.h"

#include "inifile/ProfileSession.h"

#include <algorithm>
#include <limits>

namespace {
const std::string kOptions = "Options";
const std::string kLanguage = "Language";
const std::string kEvents = "Events";
const std::string kAutoStart = "Auto Start";
const std::string kSoundPlay = "Sound Play";
const std::string kNotify = "Notify";
const std::string kSortColumn = "Sort Column";
const std::string kSortOrder = "Sort Order";
const std::string kHideDone = "Hide Done";
const std::string kCloseToTray = "Close To Tray";
const std::string kStartHidden = "Start Hidden";
/// A count is plain decimal digits within int; anything else says nothing about the file.
std::optional<int> parseCount(std::optional<std::string_view> text)
{
    if (!text || text->empty() || text->size() > 10)
        return std::nullopt;
    long long value = 0;
    for (const char c : *text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

ProgramSettings ProgramSettings::read(const QString& fileName)
{
    const profile::ProfileSession file(fileName.toStdString());
    ProgramSettings s;
    s.languageName =
        QString::fromStdString(file.readString(kOptions, kLanguage, s.languageName.toStdString()));
    s.eventCount = parseCount(file.readView(kOptions, kEvents));
    s.autoStart = file.readInt(kOptions, kAutoStart, s.autoStart ? 1 : 0) != 0;
    s.soundPlay = file.readInt(kOptions, kSoundPlay, s.soundPlay ? 1 : 0) != 0;
    s.notify = file.readInt(kOptions, kNotify, s.notify ? 1 : 0) != 0;
    s.sortColumn = std::max(-1, file.readInt(kOptions, kSortColumn, s.sortColumn));
    s.sortDescending = file.readInt(kOptions, kSortOrder, 0) != 0;
    s.hideDone = file.readInt(kOptions, kHideDone, 0) != 0;
    s.closeToTray = file.readInt(kOptions, kCloseToTray, 0) != 0;
    s.startHidden = file.readInt(kOptions, kStartHidden, 0) != 0;
    return s;
}

void ProgramSettings::write(const QString& fileName) const
{
    profile::ProfileSession file(fileName.toStdString());
    file.writeString(kOptions, kLanguage, languageName.toStdString());
    if (eventCount)
        file.writeString(kOptions, kEvents, std::to_string(*eventCount));
    file.writeString(kOptions, kAutoStart, autoStart ? "1" : "0");
    file.writeString(kOptions, kSoundPlay, soundPlay ? "1" : "0");
    file.writeString(kOptions, kNotify, notify ? "1" : "0");
    // A settings file of a user who never sorted stays as earlier versions wrote it.
    if (sortColumn >= 0 || file.readView(kOptions, kSortColumn)) {
        file.writeString(kOptions, kSortColumn, std::to_string(sortColumn));
        file.writeString(kOptions, kSortOrder, sortDescending ? "1" : "0");
    }
    if (hideDone || file.readView(kOptions, kHideDone))
        file.writeString(kOptions, kHideDone, hideDone ? "1" : "0");
    // Written once chosen: a file that never had them stays as earlier versions wrote it.
    for (const auto& [key, on] :
         {std::pair{&kCloseToTray, closeToTray}, {&kStartHidden, startHidden}})
        if (on || file.readView(kOptions, *key))
            file.writeString(kOptions, *key, on ? "1" : "0");
    file.commit();
}
