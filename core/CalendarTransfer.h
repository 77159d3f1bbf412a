#pragma once

#include <QDateTime>
#include <QString>

class ReminderBook;

/// Calendar files in and out of the reminder book, for the menu and the command line alike.
namespace CalendarTransfer {

/// What an import did.
struct Counts
{
    int added = 0;
    int skipped = 0;    // already present
    int simplified = 0; // repeat rules reduced to their next occurrence
};

/// Adds the calendar file's new events to the book. Throws AppError (a file that cannot be read,
/// a damaged one: nothing added; a failed save).
[[nodiscard]] Counts importFile(ReminderBook& book, const QString& fileName, const QDateTime& now);

/// Writes every event of the book to the calendar file, giving identifiers (saved) to events
/// without one. Returns how many went out. Throws AppError.
int exportFile(ReminderBook& book, const QString& fileName, const QDateTime& now);

} // namespace CalendarTransfer
