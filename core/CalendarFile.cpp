#include "core/CalendarFile.h"

#include "base/AppError.h"
#include "core/RepeatRules.h"

#include <QCryptographicHash>
#include <QUuid>
#include <cstring>
#include <libical/ical.h>
#include <memory>
#include <optional>

namespace {

using CalendarFile::Context;

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kTimeFormat = QStringLiteral("HH:mm:ss");
// Far enough for any rule's next occurrence: a minutely rule of ten years goes further.
constexpr int kMostOccurrences = 200000;

struct ComponentDeleter
{
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentDeleter>;

struct ParserDeleter
{
    void operator()(icalparser* p) const { icalparser_free(p); }
};

/// Hands libical the text a physical line at a time, as fgets would.
struct LineSource
{
    const char* at;
    const char* end;
};

char* nextLine(char* out, size_t size, void* data)
{
    auto* source = static_cast<LineSource*>(data);
    if (source->at >= source->end || size < 2)
        return nullptr;
    const auto left = static_cast<std::size_t>(source->end - source->at);
    const void* newline = std::memchr(source->at, '\n', left);
    std::size_t length =
        newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - source->at) + 1
                : left;
    length = std::min(length, size - 1);
    std::memcpy(out, source->at, length);
    out[length] = '\0';
    source->at += length;
    return out;
}

/// The physical line (from 1) the logical line index (from 0) starts on: a line that starts
/// with a blank or a tab continues the one before; empty lines count for none.
int physicalLine(const QByteArray& text, int logical)
{
    int physical = 0;
    int seen = -1;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype next = text.indexOf('\n', at);
        if (next < 0)
            next = text.size();
        ++physical;
        const bool blank = next == at || (next == at + 1 && text[at] == '\r');
        if (!blank && (at == 0 || (text[at] != ' ' && text[at] != '\t')))
            ++seen;
        if (seen == logical)
            return physical;
        at = next + 1;
    }
    return std::max(physical, 1);
}

AppError damaged(const QByteArray& text, int logical, const QString& what)
{
    return AppError(QStringLiteral("The calendar file is damaged at line %1: %2")
                        .arg(physicalLine(text, logical))
                        .arg(what)
                        .toStdString());
}

/// Runs f on each logical (unfolded) line with its index, until f returns false.
template <typename F> void forEachLine(const QByteArray& text, F f)
{
    std::unique_ptr<icalparser, ParserDeleter> parser(icalparser_new());
    LineSource source{text.constData(), text.constData() + text.size()};
    icalparser_set_gen_data(parser.get(), &source);
    for (int index = 0;;) {
        char* line = icalparser_get_line(parser.get(), nextLine);
        if (!line)
            return;
        if (*line == '\0') { // libical's first line is always an empty one
            icalmemory_free_buffer(line);
            continue;
        }
        const bool more = f(index++, line);
        icalmemory_free_buffer(line);
        if (!more)
            return;
    }
}

/// The first line libical could not read, found again line by line once the whole text showed
/// an error.
[[noreturn]] void throwFirstBadLine(const QByteArray& text, const AppError& fallback)
{
    std::optional<AppError> error;
    forEachLine(text, [&](int index, const char* line) {
        if (std::strncmp(line, "BEGIN:", 6) == 0 || std::strncmp(line, "END:", 4) == 0 ||
            *line == '\0')
            return true;
        icalproperty* property = icalproperty_new_from_string(line);
        const bool bad = !property || icalproperty_isa(property) == ICAL_XLICERROR_PROPERTY ||
                         icalproperty_get_first_parameter(property, ICAL_XLICERRORTYPE_PARAMETER);
        if (property)
            icalproperty_free(property);
        if (bad)
            error = damaged(text, index, QString::fromUtf8(line));
        return !bad;
    });
    if (error)
        throw *error;
    throw fallback;
}

Component parse(const QByteArray& text)
{
    std::unique_ptr<icalparser, ParserDeleter> parser(icalparser_new());
    LineSource source{text.constData(), text.constData() + text.size()};
    icalparser_set_gen_data(parser.get(), &source);
    Component root;
    int index = 0;
    int lastLine = 0;
    for (;;) {
        char* line = icalparser_get_line(parser.get(), nextLine);
        if (!line)
            break;
        if (*line == '\0') { // libical's first line is always an empty one
            icalmemory_free_buffer(line);
            continue;
        }
        icalcomponent* done = icalparser_add_line(parser.get(), line);
        icalmemory_free_buffer(line);
        lastLine = index++;
        // libical tells of a bad line only with a later one: the line is looked for again.
        if (icalparser_get_state(parser.get()) == ICALPARSER_ERROR)
            throwFirstBadLine(text, damaged(text, index,
                                            QStringLiteral("a line that is not "
                                                           "iCalendar")));
        if (done) {
            if (root)
                icalcomponent_free(done); // a second calendar in one file is not read
            else
                root.reset(done);
        }
    }
    if (!root && text.contains("BEGIN:VCALENDAR"))
        throw damaged(text, lastLine, QStringLiteral("the file ends inside a component"));
    if (!root || icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT)
        throw damaged(text, 0, QStringLiteral("no calendar (BEGIN:VCALENDAR) found"));
    if (icalcomponent_count_errors(root.get()) > 0)
        throwFirstBadLine(text, AppError("The calendar file is damaged"));
    return root;
}

/// A moment of the calendar as a point in time; nothing for a null time.
std::optional<QDateTime> moment(icaltimetype t, icalproperty* property, const QTimeZone& local)
{
    if (icaltime_is_null_time(t))
        return std::nullopt;
    if (icaltime_is_utc(t))
        return QDateTime::fromSecsSinceEpoch(
            static_cast<qint64>(icaltime_as_timet_with_zone(t, icaltimezone_get_utc_timezone())),
            local);
    if (t.zone)
        return QDateTime::fromSecsSinceEpoch(
            static_cast<qint64>(icaltime_as_timet_with_zone(t, t.zone)), local);
    const QDateTime wall(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second), local);
    // A zone the file names but does not describe comes from the system's zone database.
    if (icalparameter* tzid =
            property ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) : nullptr) {
        const QTimeZone zone(QByteArray(icalparameter_get_tzid(tzid)));
        if (zone.isValid())
            return QDateTime(wall.date(), wall.time(), zone).toTimeZone(local);
    }
    return wall;
}

/// How much earlier than the start the first alarm with a relative trigger rings; 0 for none,
/// for one after the start, or for one relative to the end.
qint64 alarmLead(icalcomponent* item)
{
    for (icalcomponent* alarm = icalcomponent_get_first_component(item, ICAL_VALARM_COMPONENT);
         alarm; alarm = icalcomponent_get_next_component(item, ICAL_VALARM_COMPONENT)) {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!trigger)
            continue;
        const icaltriggertype value = icalproperty_get_trigger(trigger);
        if (!icaltime_is_null_time(value.time))
            continue;
        icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
        if (related && icalparameter_get_related(related) == ICAL_RELATED_END)
            return 0;
        const int seconds = icaldurationtype_as_int(value.duration);
        return seconds < 0 ? -static_cast<qint64>(seconds) : 0;
    }
    return 0;
}

bool onlyEnd(const short* array)
{
    return array[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

/// The repeat kind a rule names, when nothing of it is lost; nothing otherwise.
std::optional<RepeatRules::Kind> kindOf(const icalrecurrencetype& rule, QDate start)
{
    using RepeatRules::Kind;
    if (rule.interval > 1 || rule.count > 0 || !icaltime_is_null_time(rule.until) ||
        !onlyEnd(rule.by_second) || !onlyEnd(rule.by_minute) || !onlyEnd(rule.by_hour) ||
        !onlyEnd(rule.by_year_day) || !onlyEnd(rule.by_week_no) || !onlyEnd(rule.by_set_pos))
        return std::nullopt;
    // A day or month the start already gives adds nothing (calendars often write it out).
    const bool sameMonthDay =
        onlyEnd(rule.by_month_day) ||
        (rule.by_month_day[0] == start.day() && rule.by_month_day[1] == ICAL_RECURRENCE_ARRAY_MAX);
    const bool sameMonth =
        onlyEnd(rule.by_month) ||
        (rule.by_month[0] == start.month() && rule.by_month[1] == ICAL_RECURRENCE_ARRAY_MAX);
    int days = 0;    // a bit per week day, Monday the lowest
    int plain = 0;   // week days named without a position
    int entries = 0; // all that BYDAY names
    for (int i = 0; rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        ++entries;
        if (icalrecurrencetype_day_position(rule.by_day[i]) != 0)
            continue;
        // libical counts from Sunday = 1; Qt from Monday = 1.
        const int weekday =
            (static_cast<int>(icalrecurrencetype_day_day_of_week(rule.by_day[i])) + 5) % 7 + 1;
        days |= 1 << (weekday - 1);
        ++plain;
    }
    switch (rule.freq) {
    case ICAL_DAILY_RECURRENCE:
        if (entries == 0 && sameMonthDay && sameMonth)
            return Kind::Daily;
        break;
    case ICAL_WEEKLY_RECURRENCE:
        if (!onlyEnd(rule.by_month_day) || !onlyEnd(rule.by_month) || plain != entries)
            break;
        if (entries == 0 || (entries == 1 && days == 1 << (start.dayOfWeek() - 1)))
            return Kind::Weekly;
        if (entries == 5 && days == 0x1f)
            return Kind::Weekdays;
        break;
    case ICAL_MONTHLY_RECURRENCE:
        if (entries == 0 && sameMonthDay && onlyEnd(rule.by_month))
            return Kind::Monthly;
        break;
    case ICAL_YEARLY_RECURRENCE:
        if (entries == 0 && sameMonthDay && sameMonth)
            return Kind::Yearly;
        break;
    default:
        break;
    }
    return std::nullopt;
}

/// The first occurrence after now of a rule no repeat kind expresses, else its last one.
std::optional<QDateTime> nextOccurrence(const icalrecurrencetype& rule, icaltimetype start,
                                        icalproperty* startProperty, const Context& context)
{
    icalrecur_iterator* it = icalrecur_iterator_new(rule, start);
    if (!it)
        return std::nullopt;
    std::optional<QDateTime> last;
    for (int i = 0; i < kMostOccurrences; ++i) {
        const icaltimetype next = icalrecur_iterator_next(it);
        if (icaltime_is_null_time(next))
            break;
        icaltimetype wall = next;
        wall.zone = start.zone;
        const std::optional<QDateTime> at = moment(wall, startProperty, context.zone);
        if (!at)
            break;
        last = at;
        if (*at > context.now)
            break;
    }
    icalrecur_iterator_free(it);
    return last;
}

QByteArray uidOf(icalcomponent* item)
{
    if (const char* uid = icalcomponent_get_uid(item); uid && *uid)
        return QByteArray(uid);
    // Without one, the event's own text names it, so that a second import still knows it.
    char* text = icalcomponent_as_ical_string_r(item);
    const QByteArray hash = QCryptographicHash::hash(QByteArray(text), QCryptographicHash::Sha1);
    icalmemory_free_buffer(text);
    return "dorvane-" + hash.toHex();
}

QString oneLine(const char* text)
{
    QString s = QString::fromUtf8(text ? text : "");
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return s;
}

/// The event one VEVENT or VTODO gives; nothing when it has no time to remind at.
std::optional<Event> eventOf(icalcomponent* item, bool todo, const Context& context,
                             bool& simplified)
{
    const icalproperty_kind kind = todo ? ICAL_DUE_PROPERTY : ICAL_DTSTART_PROPERTY;
    icalproperty* startProperty = icalcomponent_get_first_property(item, kind);
    if (!startProperty)
        return std::nullopt;
    const icaltimetype start = todo ? icalcomponent_get_due(item) : icalcomponent_get_dtstart(item);
    if (icaltime_is_null_time(start))
        return std::nullopt;

    std::optional<QDateTime> at;
    if (start.is_date) // a whole day reminds in its morning
        at = QDateTime(QDate(start.year, start.month, start.day), QTime(9, 0), context.zone);
    else
        at = moment(start, startProperty, context.zone);
    if (!at || !at->isValid())
        return std::nullopt;

    RepeatRules::Kind repeat = RepeatRules::Kind::Once;
    if (icalproperty* rrule = icalcomponent_get_first_property(item, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(rrule);
        if (const auto mapped = kindOf(rule, at->date())) {
            repeat = *mapped;
        } else {
            simplified = true;
            icaltimetype from = start;
            if (start.is_date) { // so that the occurrences keep the morning's hour
                from.is_date = 0;
                from.hour = 9;
            }
            if (const auto next = nextOccurrence(rule, from, startProperty, context))
                at = start.is_date ? QDateTime(next->date(), QTime(9, 0), context.zone) : *next;
        }
    }
    at = at->addSecs(-alarmLead(item));

    Event event;
    event.date = at->toString(kDateFormat);
    event.time = at->toString(kTimeFormat);
    event.title = oneLine(icalcomponent_get_summary(item));
    event.message = oneLine(icalcomponent_get_description(item));
    event.soundFile = context.defaultSound;
    event.repeat = RepeatRules::wordOf(repeat);
    event.uid = uidOf(item);
    if (repeat != RepeatRules::Kind::Once) {
        // A repeating reminder stands at its next date, as the program keeps it.
        const QDateTime now = context.now.toTimeZone(context.zone);
        if (const auto next =
                RepeatRules::nextDate(repeat, at->date(), at->time(), 0, now.date(), now.time()))
            event.date = next->toString(kDateFormat);
        event.status = context.activeWord;
    } else {
        event.status = *at <= context.now ? context.doneWord : context.activeWord;
    }
    return event;
}

icaltimetype wallTime(const QDateTime& at)
{
    icaltimetype t = icaltime_null_time();
    t.year = at.date().year();
    t.month = at.date().month();
    t.day = at.date().day();
    t.hour = at.time().hour();
    t.minute = at.time().minute();
    t.second = at.time().second();
    return t;
}

const char* ruleOf(RepeatRules::Kind kind)
{
    switch (kind) {
    case RepeatRules::Kind::Daily:
        return "FREQ=DAILY";
    case RepeatRules::Kind::Weekdays:
        return "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR";
    case RepeatRules::Kind::Weekly:
        return "FREQ=WEEKLY";
    case RepeatRules::Kind::Monthly:
        return "FREQ=MONTHLY";
    case RepeatRules::Kind::Yearly:
        return "FREQ=YEARLY";
    case RepeatRules::Kind::Once:
        break;
    }
    return nullptr;
}

} // namespace

namespace CalendarFile {

Imported read(const QByteArray& text, const Context& context)
{
    const Component root = parse(text);
    Imported imported;
    std::set<QByteArray> seen = context.knownUids;
    const auto take = [&](icalcomponent_kind kind) {
        for (icalcomponent* item = icalcomponent_get_first_component(root.get(), kind); item;
             item = icalcomponent_get_next_component(root.get(), kind)) {
            // A changed single occurrence belongs to its series, which is imported whole.
            if (icalcomponent_get_first_property(item, ICAL_RECURRENCEID_PROPERTY))
                continue;
            bool simplified = false;
            std::optional<Event> event =
                eventOf(item, kind == ICAL_VTODO_COMPONENT, context, simplified);
            if (!event)
                continue;
            if (!seen.insert(event->uid).second) {
                ++imported.skipped;
                continue;
            }
            imported.simplified += simplified ? 1 : 0;
            imported.events.append(std::move(*event));
        }
    };
    take(ICAL_VEVENT_COMPONENT);
    take(ICAL_VTODO_COMPONENT);
    return imported;
}

QByteArray newUid()
{
    return QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + "@dorvane";
}

QByteArray write(const EventList& events, const QTimeZone& zone,
                 const std::function<QDateTime(std::size_t)>& dueOf)
{
    Component calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Dorvane//Dorvane//EN"));
    // The zone's own name as TZID, which every reader knows, with its description beside it.
    const QByteArray zoneId = zone.id();
    icaltimezone* builtin =
        zoneId == "UTC" ? nullptr : icaltimezone_get_builtin_timezone(zoneId.constData());
    if (builtin) {
        icalcomponent* description = icalcomponent_new_clone(icaltimezone_get_component(builtin));
        if (icalproperty* tzid = icalcomponent_get_first_property(description, ICAL_TZID_PROPERTY))
            icalproperty_set_tzid(tzid, zoneId.constData());
        icalcomponent_add_component(calendar.get(), description);
    }
    const icaltimetype stamp = icaltime_current_time_with_zone(icaltimezone_get_utc_timezone());

    for (std::size_t i = 0; i < events.size(); ++i) {
        const Event& e = events[i];
        QDateTime at = dueOf ? dueOf(i) : QDateTime();
        if (!at.isValid())
            at = QDateTime(QDate::fromString(e.date, kDateFormat),
                           QTime::fromString(e.time, kTimeFormat), zone);
        if (!at.isValid())
            continue; // no moment to give a calendar
        icalcomponent* item = icalcomponent_new(ICAL_VEVENT_COMPONENT);
        icalcomponent_add_property(item, icalproperty_new_uid(e.uid.constData()));
        icalcomponent_add_property(item, icalproperty_new_dtstamp(stamp));
        icalproperty* start = nullptr;
        if (builtin) {
            start = icalproperty_new_dtstart(wallTime(at.toTimeZone(zone)));
            icalproperty_add_parameter(start, icalparameter_new_tzid(zoneId.constData()));
        } else {
            icaltimetype utc = wallTime(at.toUTC());
            utc.zone = icaltimezone_get_utc_timezone();
            start = icalproperty_new_dtstart(utc);
        }
        icalcomponent_add_property(item, start);
        const QByteArray title = e.title.toUtf8();
        icalcomponent_add_property(item, icalproperty_new_summary(title.constData()));
        if (!e.message.isEmpty())
            icalcomponent_add_property(
                item, icalproperty_new_description(e.message.toUtf8().constData()));
        if (const char* rule = ruleOf(RepeatRules::kindOf(e.repeat)))
            icalcomponent_add_property(
                item, icalproperty_new_rrule(icalrecurrencetype_from_string(rule)));
        icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_null_duration();
        icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
        icalcomponent_add_property(alarm, icalproperty_new_description(title.constData()));
        icalcomponent_add_component(item, alarm);
        icalcomponent_add_component(calendar.get(), item);
    }
    char* text = icalcomponent_as_ical_string_r(calendar.get());
    QByteArray result(text);
    icalmemory_free_buffer(text);
    return result;
}

} // namespace CalendarFile
