#include "core/ProgramFolder.h"

#include <QFileInfo>

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
