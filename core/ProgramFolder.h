#pragma once

#include <QString>

/// Where the program finds and keeps its files, worked out once from the executable's place.
/// Language files and the default sound always come from beside the executable; the events,
/// the settings and the lock live there too while that folder is writable, and per user
/// otherwise (a system-wide install, shared by every user).
struct ProgramFolder
{
    /// The executable's absolute path.
    QString executable;
    /// The executable's folder, with a trailing slash.
    QString folder;
    QString eventsFile;
    /// "<executable's name>.ini" beside it, or in the user's configuration folder.
    QString settingsFile;
    /// Held while an instance runs on the events file; beside it.
    QString lockFile;
    /// Where the language files are when the current folder has none.
    QString languageFolder;
    /// The sound of events that name none, and the fallback of one that cannot play.
    QString defaultSound;

    /// The environment the per-user places come from, as read (empty when unset).
    struct UserEnvironment
    {
        QString home;
        QString dataHome;   // XDG_DATA_HOME
        QString configHome; // XDG_CONFIG_HOME
    };

    /// Everything beside the executable.
    [[nodiscard]] static ProgramFolder ofExecutable(const QString& executablePath);
    /// Beside the executable when its folder is writable, per user otherwise.
    [[nodiscard]] static ProgramFolder choose(const QString& executablePath, bool folderWritable,
                                              const UserEnvironment& environment);
    /// choose() with the folder's writability and this process's environment.
    [[nodiscard]] static ProgramFolder forRunningProgram(const QString& executablePath);
};
