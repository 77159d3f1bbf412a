#pragma once

#include "core/CommandLine.h"
#include "core/ProgramFolder.h"

#include <QByteArray>
#include <QStringList>

class ReminderBook;

namespace Commands {

/// The exit codes of the commands.
enum ExitCode : int
{
    Done = 0,
    FileFailed = 1,
    BadArguments = 2,
};

/// Carries out a command line's request without any window (Qt Core only): prints the help or
/// the version, lists the events, or adds one, through the running instance when one runs on
/// the folder, else straight into the folder's files under its lock. Returns the exit code.
[[nodiscard]] int run(const CommandLine::Request& request, const ProgramFolder& folder,
                      const QString& className, const QString& title);

/// The running instance's answer to a command a later start handed over.
[[nodiscard]] QByteArray answer(ReminderBook& book, const QStringList& arguments);

} // namespace Commands
