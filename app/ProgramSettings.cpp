#include "app/ProgramSettings.h"

#include "platform/ProfileSession.h"

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
    s.LanguageName =
        QString::fromStdString(file.readString(kOptions, kLanguage, s.LanguageName.toStdString()));
    s.EventCount = file.readInt(kOptions, kEvents, s.EventCount);
    s.AutoStart = file.readInt(kOptions, kAutoStart, s.AutoStart ? 1 : 0) != 0;
    s.SoundPlay = file.readInt(kOptions, kSoundPlay, s.SoundPlay ? 1 : 0) != 0;
    return s;
}

void ProgramSettings::write(const QString& fileName) const
{
    ProfileSession file(fileName.toStdString());
    file.writeString(kOptions, kLanguage, LanguageName.toStdString());
    file.writeString(kOptions, kEvents, std::to_string(EventCount));
    file.writeString(kOptions, kAutoStart, AutoStart ? "1" : "0");
    file.writeString(kOptions, kSoundPlay, SoundPlay ? "1" : "0");
    file.commit();
}
