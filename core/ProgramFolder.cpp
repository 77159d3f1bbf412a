#include "core/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace {

/// An XDG base folder: the variable when it holds an absolute path (a relative one is invalid
/// and ignored), the home's default otherwise.
QString baseFolder(const QString& variable, const QString& home, const QString& fallback)
{
    if (!variable.isEmpty() && QDir::isAbsolutePath(variable))
        return QDir::cleanPath(variable);
    return QDir::cleanPath(home + u'/' + fallback);
}

} // namespace

ProgramFolder ProgramFolder::ofExecutable(const QString& executablePath)
{
    const QFileInfo exe(executablePath);
    const QString folder = exe.absolutePath() + QLatin1Char('/');
    return {exe.absoluteFilePath(),
            folder,
            folder + QStringLiteral("events.ini"),
            folder + exe.completeBaseName() + QStringLiteral(".ini"),
            folder + QStringLiteral(".events.ini.lock"),
            folder + QStringLiteral("language/"),
            folder + QStringLiteral("sounds/alarm.wav")};
}

ProgramFolder ProgramFolder::choose(const QString& executablePath, bool folderWritable,
                                    const UserEnvironment& environment)
{
    ProgramFolder place = ofExecutable(executablePath);
    if (folderWritable)
        return place;
    const QString data =
        baseFolder(environment.dataHome, environment.home, QStringLiteral(".local/share")) +
        QStringLiteral("/dorvane/");
    const QString config =
        baseFolder(environment.configHome, environment.home, QStringLiteral(".config")) +
        QStringLiteral("/dorvane/");
    place.eventsFile = data + QStringLiteral("events.ini");
    place.lockFile = data + QStringLiteral(".events.ini.lock");
    place.settingsFile =
        config + QFileInfo(executablePath).completeBaseName() + QStringLiteral(".ini");
    return place;
}

ProgramFolder ProgramFolder::forRunningProgram(const QString& executablePath)
{
    const QFileInfo folder(QFileInfo(executablePath).absolutePath());
    return choose(executablePath, folder.isWritable(),
                  {QDir::homePath(), qEnvironmentVariable("XDG_DATA_HOME"),
                   qEnvironmentVariable("XDG_CONFIG_HOME")});
}
