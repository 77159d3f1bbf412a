#pragma once

#include "core/EventList.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <functional>
#include <set>

/// Reminders in and out of iCalendar (.ics) texts, through libical.
namespace CalendarFile {

/// What an import needs to know besides the text.
struct Context
{
    QDateTime now;
    /// The zone the events' dates and times are read in.
    QTimeZone zone = QTimeZone::systemTimeZone();
    QString activeWord;
    QString doneWord;
    QString defaultSound;
    /// The identifiers of the events already there: an event carrying one is skipped.
    std::set<QByteArray> knownUids = {};
};

/// The events an import adds, and what it did with the others.
struct Imported
{
    EventList events;
    int skipped = 0;    // already present
    int simplified = 0; // a repeat rule no repeat kind expresses: the next occurrence only
};

/// The events of a calendar text: every VEVENT and every VTODO with a due time. Throws an
/// AppError naming the line of a damaged text.
[[nodiscard]] Imported read(const QByteArray& text, const Context& context);

/// A new identifier for an event that has none.
[[nodiscard]] QByteArray newUid();

/// The calendar text of events that all carry an identifier. dueOf gives the moment a
/// countdown falls due; nothing: the event's own date and time.
[[nodiscard]] QByteArray write(const EventList& events, const QTimeZone& zone,
                               const std::function<QDateTime(std::size_t)>& dueOf = {});

} // namespace CalendarFile
