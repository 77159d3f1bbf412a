#pragma once

#include "core/Event.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace CommandLine {

/// No command of ours: the program starts as it always did (Qt takes its own options).
struct StartProgram
{};
struct ShowHelp
{};
struct ShowVersion
{};
/// --add: a new active event at due.
struct AddReminder
{
    QString title;
    QString message;
    QDateTime due;
    /// As given (a relative name is the caller's to complete); nothing: the default sound, an
    /// empty text: no sound.
    std::optional<QString> soundFile;
    QString extraFile;
    /// One of repeatKinds(), or empty: once.
    QByteArray repeat;
};
/// --list: one line per event, or JSON.
struct ListReminders
{
    bool json = false;
};
/// --import FILE, --export FILE: a calendar file in or out.
struct ImportCalendar
{
    QString fileName;
};
struct ExportCalendar
{
    QString fileName;
};
/// A command line that cannot be carried out: the argument at fault and what is wrong with it.
struct Mistake
{
    QString argument;
    QString reason;

    /// "<argument>: <reason>", as the standard error stream shows it.
    [[nodiscard]] QString text() const { return argument + QStringLiteral(": ") + reason; }
};

using Request = std::variant<StartProgram, ShowHelp, ShowVersion, AddReminder, ListReminders,
                             Mistake, ImportCalendar, ExportCalendar>;

/// What the arguments (without the program's name) ask for, at the moment now. Only a command
/// line holding one of our options is ours; the first argument must then be the command
/// (--add, --list, --import, --export, --help or -h, --version).
[[nodiscard]] Request parse(const QStringList& arguments, const QDateTime& now);

/// A duration like "90s", "10m", "2h" or "1h30m" in seconds; nothing for any other text or zero.
[[nodiscard]] std::optional<qint64> parseDuration(const QString& text);

/// The words --repeat takes, as the events file stores them.
[[nodiscard]] const QStringList& repeatKinds();

/// Why a title and moment cannot make a new event (from the command line or another program):
/// an empty title, a moment not after now. Empty when they can. The texts name no argument.
[[nodiscard]] QString titleProblem(const QString& title);
[[nodiscard]] QString momentProblem(const QDateTime& due, const QDateTime& now);

/// The new active event an --add (or another program's add) makes: due's date and time, the
/// default sound unless the request names one.
[[nodiscard]] Event newEvent(const AddReminder& add, const QString& activeWord,
                             const QString& defaultSound);

} // namespace CommandLine
