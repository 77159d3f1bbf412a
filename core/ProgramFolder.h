#pragma once

#include <QString>

/// Where the program finds and keeps its files, worked out once from the executable's place:
/// everything lives beside the executable.
struct ProgramFolder
{
    /// The executable's absolute path.
    QString executable;
    /// The executable's folder, with a trailing slash.
    QString folder;
    QString eventsFile;
    /// "<executable's name>.ini" beside it.
    QString settingsFile;
    /// Held while an instance runs on this folder.
    QString lockFile;
    /// Where the language files are when the current folder has none.
    QString languageFolder;
    /// The sound of events that name none, and the fallback of one that cannot play.
    QString defaultSound;

    [[nodiscard]] static ProgramFolder ofExecutable(const QString& executablePath);
};
