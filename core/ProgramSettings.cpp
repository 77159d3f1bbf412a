#include "core/ProgramSettings.h"

#include "inifile/ProfileSession.h"

namespace {
const std::string kOptions = "Options";
const std::string kLanguage = "Language";
const std::string kEvents = "Events";
const std::string kAutoStart = "Auto Start";
const std::string kSoundPlay = "Sound Play";
} // namespace

ProgramSettings ProgramSettings::read(const QString& fileName)
{
    const ProfileSession file(fileName.toStdString());
    ProgramSettings s;
    s.languageName =
        QString::fromStdString(file.readString(kOptions, kLanguage, s.languageName.toStdString()));
    s.eventCount = file.readInt(kOptions, kEvents, s.eventCount);
    s.autoStart = file.readInt(kOptions, kAutoStart, s.autoStart ? 1 : 0) != 0;
    s.soundPlay = file.readInt(kOptions, kSoundPlay, s.soundPlay ? 1 : 0) != 0;
    return s;
}

void ProgramSettings::write(const QString& fileName) const
{
    ProfileSession file(fileName.toStdString());
    file.writeString(kOptions, kLanguage, languageName.toStdString());
    file.writeString(kOptions, kEvents, std::to_string(eventCount));
    file.writeString(kOptions, kAutoStart, autoStart ? "1" : "0");
    file.writeString(kOptions, kSoundPlay, soundPlay ? "1" : "0");
    file.commit();
}
