#include "core/ReminderBook.h"

#include "base/AppError.h"
#include "base/Logging.h"
#include "core/AlarmRules.h"
#include "core/CalendarFile.h"
#include "core/Clock.h"
#include "core/EventsFile.h"
#include "core/RepeatRules.h"
#include "core/StatusWords.h"
#include "inifile/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>
#include <utility>

namespace {
const QString kParagraph = QStringLiteral("\r\r");
// A message names at most this many events: one with thousands would take seconds to lay out
// and could not be read anyway. Every event is still marked and saved.
constexpr int kListedInMessage = 30;
// How long after each wall-clock second the tick runs.
constexpr int kTickDelayMs = 1;

QString andMore(int count)
{
    return QStringLiteral("... and %1 more").arg(count - kListedInMessage);
}
} // namespace

FileStamp FileStamp::of(const QString& fileName)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0)
        return {};
    return {static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino),
            static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

ReminderBook::ReminderBook(Clock& clock, ProgramFolder folder, QObject* parent)
    : QObject(parent), m_clock(clock), m_folder(std::move(folder))
{
    // The clock runs from here to the end of the program, also under the modal loops of the
    // boxes that show what it found.
    m_timer.setObjectName(QStringLiteral("tickTimer"));
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReminderBook::onTimer);
    // The start-up second itself counts as not yet checked: the passed-events check only takes
    // what lies strictly before it.
    m_previousTickSecond = AlarmRules::wallSecondOf(m_clock.now()) - 1;
    scheduleNextTick();
}

ReminderBook::~ReminderBook() = default;

ProgramSettings ReminderBook::readSettings(const ProgramFolder& folder)
{
    return ProgramSettings::read(folder.settingsFile);
}

EventList ReminderBook::readEvents(const ProgramFolder& folder, const ProgramSettings& settings)
{
    // Without a valid count in the settings every event of the file is read: a lost settings
    // file must not hide events, nor let the next save overwrite them.
    return EventsFile::load(folder.eventsFile, settings.eventCount, folder.defaultSound);
}

void ReminderBook::open(const ProgramSettings& settings, std::future<EventList> events)
{
    m_settings = settings;
    try {
        reset(events.get());
    } catch (const AppError&) {
        m_eventsFileUnreadable = true;
        throw;
    }
    m_knownSections = m_events.size();
    m_eventsStamp = FileStamp::of(m_folder.eventsFile);
    m_open = true;
}

void ReminderBook::loadFrom(const QString& fileName)
{
    reset(EventsFile::load(fileName, std::nullopt, m_folder.defaultSound));
    m_open = true;
}

void ReminderBook::saveTo(const QString& fileName)
{
    EventsFile::save(fileName, m_events);
    // Saved over the events file itself: that is this run's own write, not another program's.
    const FileStamp saved = FileStamp::of(fileName);
    const FileStamp events = FileStamp::of(m_folder.eventsFile);
    if (saved.exists() && saved.device == events.device && saved.inode == events.inode) {
        m_eventsStamp = events;
        m_knownSections = m_events.size();
    }
}

void ReminderBook::writeEvents()
{
    if (m_eventsFileUnreadable) {
        // Writing what little we know over a file we could not read would lose its events.
        if (!std::exchange(m_toldSkippedSave, true))
            emit saveFailed(QStringLiteral("The events were not saved: %1 could not be read when "
                                           "Dorvane started, so it is left as it is.")
                                .arg(m_folder.eventsFile));
        return;
    }
    if (const FileStamp now = FileStamp::of(m_folder.eventsFile);
        now.exists() && now != m_eventsStamp)
        keepChangedEventsFile(now);
    EventsFile::save(m_folder.eventsFile, m_events, m_knownSections);
    m_knownSections = m_events.size();
    m_eventsStamp = FileStamp::of(m_folder.eventsFile);
    m_unsaved = false;
}

void ReminderBook::keepChangedEventsFile(const FileStamp& found)
{
    // Another program's version (a text editor's, a sync tool's) is not ours to lose.
    const std::string fileName = m_folder.eventsFile.toStdString();
    const profile::FileContent content = profile::readWholeFile(fileName);
    // What cannot be read, the save refuses to replace anyway.
    if (content.status != profile::ReadStatus::Ok)
        return;
    const QString stem = m_folder.eventsFile + QLatin1Char('.') +
                         m_clock.now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString backup = stem + QStringLiteral(".bak");
    for (int n = 1; QFileInfo::exists(backup); ++n)
        backup = stem + QStringLiteral("-%1.bak").arg(n);
    profile::replaceFileAtomically(QFile::encodeName(backup).toStdString(), content.bytes);
    qCInfo(lcFiles, "%s was changed by another program; kept as %s",
           qUtf8Printable(m_folder.eventsFile), qUtf8Printable(backup));
    // Kept once: a save that fails after this must not keep the same version again.
    m_eventsStamp = found;
    emit changedFileKept(backup);
}

void ReminderBook::writeSettings() const
{
    settings().write(m_folder.settingsFile);
}

bool ReminderBook::told(const std::function<void()>& write)
{
    try {
        write();
        return true;
    } catch (const AppError& error) {
        qCWarning(lcFiles, "%s", error.what());
        emit saveFailed(QString::fromStdString(error.what()));
        return false;
    }
}

bool ReminderBook::save()
{
    return told([this] {
        writeEvents();
        writeSettings();
    });
}

bool ReminderBook::saveSettings()
{
    return told([this] { writeSettings(); });
}

bool ReminderBook::saveUnsaved()
{
    return !std::exchange(m_unsaved, false) || save();
}

const QString& ReminderBook::shownTime(int row) const
{
    if (!m_shownTimes.empty())
        if (const auto shown = m_shownTimes.find(row); shown != m_shownTimes.end())
            return shown->second;
    return at(row).time;
}

void ReminderBook::add(Event event)
{
    const int row = count();
    emit rowAboutToBeAdded(row);
    m_events.append(std::move(event));
    emit rowAdded(row);
    // Saved at once: a new or changed reminder survives a crash, a power cut or the tray's Exit.
    save();
}

bool ReminderBook::addAll(EventList events)
{
    for (std::size_t i = 0; i < events.size(); ++i) {
        const int row = count();
        emit rowAboutToBeAdded(row);
        m_events.append(std::move(events[i]));
        emit rowAdded(row);
    }
    return events.empty() || save();
}

bool ReminderBook::giveUids()
{
    bool given = false;
    for (std::size_t i = 0; i < m_events.size(); ++i)
        if (m_events[i].uid.isEmpty()) {
            m_events[i].uid = CalendarFile::newUid();
            given = true;
        }
    return !given || save();
}

void ReminderBook::replace(int row, Event event)
{
    m_shownTimes.erase(row);
    Event& record = m_events[static_cast<std::size_t>(row)];
    // A date or repeat set anew is the day a monthly or yearly event keeps from now on.
    if (event.date != record.date || event.repeat != record.repeat)
        event.repeatDay = 0;
    record = std::move(event);
    emit rowsChanged(row, row);
    save();
}

void ReminderBook::remove(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the last row up, so the rows still to go keep their indexes.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        removeRow(*row);
    save();
}

void ReminderBook::removeRow(int row)
{
    emit rowAboutToBeRemoved(row);
    // The rows below move up one, and their shown times with them.
    std::map<int, QString> shifted;
    for (auto& [at, time] : m_shownTimes)
        if (at != row)
            shifted.emplace(at < row ? at : at - 1, std::move(time));
    m_shownTimes = std::move(shifted);
    m_events.removeAt(static_cast<std::size_t>(row));
    emit rowRemoved(row);
}

void ReminderBook::clear()
{
    reset({});
}

void ReminderBook::reset(EventList events)
{
    emit listAboutToBeReset();
    m_events = std::move(events);
    m_shownTimes.clear();
    emit listReset();
}

namespace {
/// The same reminder, whatever its moment and status since.
bool sameReminder(const Event& a, const Event& b)
{
    return a.title == b.title && a.message == b.message && a.soundFile == b.soundFile &&
           a.extraFile == b.extraFile && a.repeat == b.repeat;
}
} // namespace

int ReminderBook::rowOf(const DueEvents& due, std::size_t i) const
{
    const Event& wanted = due.events[i];
    // Its row, unless rows were added or removed under the alarm's box.
    if (const int row = due.rows[i]; row < count() && sameReminder(at(row), wanted))
        return row;
    for (int row = 0; row < count(); ++row)
        if (sameReminder(at(row), wanted))
            return row;
    return -1;
}

void ReminderBook::snooze(const DueEvents& due, int minutes)
{
    const ClockTexts at = AlarmRules::clockTexts(m_clock.now().addSecs(qint64{minutes} * 60));
    const auto rearmed = [&](Event event) {
        event.date = at.today;
        event.time = at.time;
        event.countdown = false;
        event.status = m_activeWord;
        return event;
    };
    std::vector<int> rows;
    for (std::size_t i = 0; i < due.events.size() && i < due.rows.size(); ++i)
        rows.push_back(rowOf(due, i));
    // Rows found first: the copies a series gets go at the end, where a search would find them.
    for (const int row : rows) {
        if (row < 0)
            continue;
        const Event& event = this->at(row);
        if (!event.countdown && RepeatRules::kindOf(event.repeat) != RepeatRules::Kind::Once) {
            // The series stays where it is; the snooze is an ordinary event of its own.
            Event once = rearmed(event);
            once.repeat.clear();
            once.repeatDay = 0;
            const int added = count();
            emit rowAboutToBeAdded(added);
            m_events.append(std::move(once));
            emit rowAdded(added);
            continue;
        }
        m_shownTimes.erase(row);
        m_events[static_cast<std::size_t>(row)] = rearmed(event);
        emit rowsChanged(row, row);
    }
    save();
}

void ReminderBook::setStatus(int row, const QString& status)
{
    m_events[static_cast<std::size_t>(row)].status = status;
    emit rowsChanged(row, row);
}

void ReminderBook::markDone(int row)
{
    setStatus(row, m_doneWord);
    m_unsaved = true;
}

void ReminderBook::delivered(int row, const QDateTime& now)
{
    Event& event = m_events[static_cast<std::size_t>(row)];
    const RepeatRules::Kind kind =
        event.countdown ? RepeatRules::Kind::Once : RepeatRules::kindOf(event.repeat);
    const QDate date = QDate::fromString(event.date, QStringLiteral("dd.MM.yyyy"));
    const QTime time = QTime::fromString(event.time, QStringLiteral("HH:mm:ss"));
    const int day = event.repeatDay > 0 ? event.repeatDay : date.day();
    const auto next = RepeatRules::nextDate(kind, date, time, day, now.date(), now.time());
    if (!next) {
        markDone(row);
        return;
    }
    // Missed occurrences are not owed: the one alarm just given stands for them all.
    event.date = next->toString(QStringLiteral("dd.MM.yyyy"));
    event.repeatDay = (kind == RepeatRules::Kind::Monthly || kind == RepeatRules::Kind::Yearly) &&
                              next->day() != day
                          ? day
                          : 0;
    emit rowsChanged(row, row);
    m_unsaved = true;
}

void ReminderBook::setStatusWords(const QString& newActive, const QString& newDone)
{
    const auto [active, done] = StatusWords::usable(m_activeWord, m_doneWord, newActive, newDone);
    const QString oldActive = std::exchange(m_activeWord, active);
    const QString oldDone = std::exchange(m_doneWord, done);
    bool changed = false;
    for (int row = 0; row < count(); ++row) {
        const QString status =
            StatusWords::translated(at(row).status, oldActive, oldDone, active, done);
        if (status == at(row).status)
            continue;
        setStatus(row, status);
        changed = true;
    }
    // Saved at once: the file must not keep words that no longer fire.
    if (changed)
        save();
}

ProgramSettings ReminderBook::settings() const
{
    ProgramSettings settings = m_settings;
    // While the events file cannot be read, the settings keep the count they had for it.
    if (!m_eventsFileUnreadable)
        settings.eventCount = count();
    return settings;
}

void ReminderBook::setLanguageName(const QString& name)
{
    m_settings.languageName = name;
    saveSettings();
}

void ReminderBook::setAutoStart(bool on)
{
    m_settings.autoStart = on;
    saveSettings();
}

void ReminderBook::setSoundPlay(bool on)
{
    m_settings.soundPlay = on;
    saveSettings();
}

void ReminderBook::setNotify(bool on)
{
    m_settings.notify = on;
    saveSettings();
}

void ReminderBook::setListView(int sortColumn, bool sortDescending, bool hideDone)
{
    if (m_settings.sortColumn == sortColumn && m_settings.sortDescending == sortDescending &&
        m_settings.hideDone == hideDone)
        return;
    m_settings.sortColumn = sortColumn;
    m_settings.sortDescending = sortDescending;
    m_settings.hideDone = hideDone;
    saveSettings();
}

void ReminderBook::setCloseToTray(bool on)
{
    m_settings.closeToTray = on;
    saveSettings();
}

void ReminderBook::setStartHidden(bool on)
{
    m_settings.startHidden = on;
    saveSettings();
}

void ReminderBook::scheduleNextTick()
{
    // Re-armed each second for just after the next wall-clock second: a free-running interval
    // drifts and skips seconds. Just after, so that an alarm shows as soon as its second comes.
    const int msec = m_clock.now().time().msec();
    m_timer.start(1000 - msec + kTickDelayMs);
}

void ReminderBook::onTimer()
{
    // A timer can wake a little early (slack, or the wall clock running apart from the timer's):
    // still in the second the last tick checked, it waits for the rest of that second rather
    // than check it again.
    if (AlarmRules::wallSecondOf(m_clock.now()) == m_previousTickSecond) {
        scheduleNextTick();
        return;
    }
    // Armed first: what the tick finds may be shown in a modal box, under which ticks go on.
    scheduleNextTick();
    tick();
}

void ReminderBook::tick()
{
    // Everything the tick needs is taken now, in locals: what it finds may be shown in a box
    // with its own event loop, under which later ticks run.
    const QDateTime moment = m_clock.now();
    const ClockTexts now = AlarmRules::clockTexts(moment);
    const qint64 previous = std::exchange(m_previousTickSecond, now.wallSecond);
    DueEvents due;
    const int rows = count();
    for (int row = 0; row < rows; ++row) {
        const Event& event = at(row);
        const QString& time = shownTime(row);
        switch (AlarmRules::tickAction(event.date, time, isActive(row), event.countdown, now,
                                       previous)) {
        case AlarmRules::TickAction::Nothing:
            continue;
        case AlarmRules::TickAction::CountDown:
            if (const QString lowered = AlarmRules::countDown(time); lowered != time) {
                m_shownTimes[row] = lowered;
                emit rowsChanged(row, row);
            }
            continue;
        case AlarmRules::TickAction::Deliver:
            break;
        }
        if (due.rows.size() < kListedInMessage)
            due.text += AlarmRules::eventLine(event.date, time, event.title) + kParagraph +
                        event.message + kParagraph;
        due.rows.push_back(row);
        due.events.push_back(event);
        delivered(row, moment);
        if (isDone(row))
            due.events.back().status = m_doneWord;
    }
    if (due.rows.empty())
        return;
    if (due.rows.size() > kListedInMessage)
        due.text += andMore(static_cast<int>(due.rows.size()));
    qCDebug(lcAlarm, "%zu events due", due.rows.size());
    emit alarmsDue(due);
    // Written while the message is still open, unless its listener wrote it already: a crash
    // then must not bring the alarm back.
    saveUnsaved();
}

void ReminderBook::checkPassed()
{
    const QDateTime moment = m_clock.now();
    const ClockTexts now = AlarmRules::clockTexts(moment);
    DueEvents passed;
    QString lines;
    const int rows = count();
    for (int row = 0; row < rows; ++row) {
        const Event& event = at(row);
        const QString& time = shownTime(row);
        if (!AlarmRules::passedWhileAway(event.date, time, isActive(row), event.countdown, now))
            continue;
        if (passed.rows.size() < kListedInMessage)
            lines += AlarmRules::eventLine(event.date, time, event.title) + QLatin1Char('\r');
        passed.rows.push_back(row);
        passed.events.push_back(event);
        delivered(row, moment);
        if (isDone(row))
            passed.events.back().status = m_doneWord;
    }
    if (passed.rows.empty())
        return;
    if (passed.rows.size() > kListedInMessage)
        lines += andMore(static_cast<int>(passed.rows.size())) + QLatin1Char('\r');
    passed.text = lines;
    emit passedFound(passed);
    saveUnsaved();
}
