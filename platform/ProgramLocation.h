#pragma once

#include <QByteArray>
#include <QString>

/// Where the running executable lives, as paths Qt can open.
struct ProgramLocation
{
    /// The executable's path. Normally its real path; when the folder's name does not survive
    /// Qt's file-name decoding (bytes that are not UTF-8), a path through an open descriptor of
    /// the folder, valid while the program runs.
    QString executable;
    /// The real folder as the bytes it is named with.
    QByteArray folderBytes;
    /// False when executable is the descriptor path: no other process could use it later.
    bool pathIsLasting = true;
};

/// Locates the running executable through /proc/self/exe; falls back to Qt's answer.
[[nodiscard]] ProgramLocation locateProgram();

/// The same for a given executable path (the bytes the file system names it with).
[[nodiscard]] ProgramLocation locateProgram(const QByteArray& executableBytes);
