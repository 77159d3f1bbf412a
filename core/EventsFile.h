#pragma once

#include "core/EventList.h"

#include <QString>
#include <optional>

namespace EventsFile {

/// Reads the sections "Event0".."Event(n-1)", n being the smaller of limit and one past the
/// highest "EventN" section present. No limit reads every event of the file; a limit of zero or
/// less reads nothing. A gap yields a record of defaults; a missing "Sound File" gives
/// defaultSound. A missing file reads as empty, unless limit is above zero (a count says events
/// are there); then, and for a file that exists but cannot be read, it throws
/// AppError("Cannot read <file>: <reason>").
[[nodiscard]] EventList load(const QString& fileName, std::optional<int> limit,
                             const QString& defaultSound);

/// Writes every entry into "Event0".."Event(size-1)", key order fixed, in one atomic replacement
/// of the file, and removes "Event(size)" up to before "Event(readSections)": the events this
/// run read from the file (or wrote to it) and no longer has, which a later load would bring back.
/// Sections past those stay as they are: they may be events this run never loaded, and the
/// settings' count keeps them out of the next start.
/// Throws AppError("Unable to write to <file>: <reason>") when the system refuses.
void save(const QString& fileName, const EventList& events, std::size_t readSections);

/// The same, leaving the file with exactly the list: every "EventN" section past it is removed.
void save(const QString& fileName, const EventList& events);

} // namespace EventsFile
