#pragma once

#include "core/EventList.h"
#include "core/ProgramFolder.h"
#include "core/ProgramSettings.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <future>
#include <map>
#include <vector>

class Clock;

/// What tells, cheaply, that a file was replaced or changed: its identity, size and modification
/// time. All zero for a file that does not exist.
struct FileStamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    [[nodiscard]] static FileStamp of(const QString& fileName);
    [[nodiscard]] bool exists() const { return inode != 0; }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

/// Events that fell due together (in one tick, or while the program was not running): what
/// their message box and notification show.
struct DueEvents
{
    /// Their rows, in row order.
    std::vector<int> rows;
    /// Their records as they fell due.
    std::vector<Event> events;
    /// The message: a line for each (at most 30, then "... and N more"); for passed events the
    /// lines alone, under the heading the window takes from the language.
    QString text;
};

/// The reminder book: the event list, the times a running countdown shows, the status words of
/// the language in force, the settings, and the once-a-second check of what falls due. It
/// decides and tells; the window shows. Every change is written at once, the settings right after
/// the events file; a file that could not be read at start-up is never written.
class ReminderBook : public QObject
{
    Q_OBJECT
public:
    ReminderBook(Clock& clock, ProgramFolder folder, QObject* parent = nullptr);
    ~ReminderBook() override;

    [[nodiscard]] const ProgramFolder& folder() const { return m_folder; }

    // Start-up and the files.
    /// Reads the settings and the events file now.
    [[nodiscard]] static ProgramSettings readSettings(const ProgramFolder& folder);
    [[nodiscard]] static EventList readEvents(const ProgramFolder& folder,
                                              const ProgramSettings& settings);
    /// Takes the settings and the events as read; a read error (AppError) comes out of events,
    /// is thrown on, and keeps the events file from being written for the rest of the run.
    void open(const ProgramSettings& settings, std::future<EventList> events);
    /// Whether the events are in (a shutdown before then writes nothing).
    [[nodiscard]] bool isOpen() const { return m_open; }
    /// File > Load: replaces the list with another file's events. Throws AppError.
    void loadFrom(const QString& fileName);
    /// File > Save: writes exactly the list to another file. Throws AppError.
    void saveTo(const QString& fileName);
    /// Writes the events file; a file another program changed since this run read or wrote it is
    /// first kept beside it (told through changedFileKept). Throws AppError.
    void writeEvents();
    /// Writes the settings file. Throws AppError.
    void writeSettings() const;
    /// Writes the events file and then the settings; a failure is told through saveFailed.
    bool save();
    /// Writes the settings; a failure is told through saveFailed.
    bool saveSettings();
    /// What the last tick or check changed and did not write yet is written now (as soon as its
    /// message is on the screen); false when the write failed.
    bool saveUnsaved();

    // The events.
    [[nodiscard]] const EventList& events() const { return m_events; }
    [[nodiscard]] int count() const { return static_cast<int>(m_events.size()); }
    [[nodiscard]] const Event& at(int row) const { return m_events[static_cast<std::size_t>(row)]; }
    /// The time a row shows: its record's, or less while its countdown runs.
    [[nodiscard]] const QString& shownTime(int row) const;
    [[nodiscard]] bool isActive(int row) const { return at(row).status == m_activeWord; }
    [[nodiscard]] bool isDone(int row) const { return at(row).status == m_doneWord; }
    /// Adds an event at the end, and saves.
    void add(Event event);
    /// Appends events (a calendar's) and saves once; false when the save failed.
    bool addAll(EventList events);
    /// Gives each event without a calendar identifier a new one and saves once.
    bool giveUids();
    /// Replaces the record of a row, and saves.
    void replace(int row, Event event);
    /// Removes rows (any order, each once), and saves.
    void remove(std::vector<int> rows);
    /// Empties the list; the file keeps its events until the next save.
    void clear();
    /// Snoozes the events of an alarm: each is active again minutes from now (to the second),
    /// its countdown off, and the list is saved. A repeating event keeps its series and gets a
    /// one-off copy for the snooze. An event no longer in the list is left out.
    void snooze(const DueEvents& due, int minutes);

    // The language and the settings.
    [[nodiscard]] const QString& activeWord() const { return m_activeWord; }
    [[nodiscard]] const QString& doneWord() const { return m_doneWord; }
    /// The status words of a new language: statuses in the old words take the new ones, and the
    /// list is saved when any did. A word that is empty or equals the other is not taken: the
    /// statuses stay in the old words, which a later language can still translate.
    void setStatusWords(const QString& active, const QString& done);
    /// The settings as they would be written now.
    [[nodiscard]] ProgramSettings settings() const;
    /// Each setting is written when it is set, so it holds even if the program never reaches its
    /// shutdown.
    void setLanguageName(const QString& name);
    void setAutoStart(bool on);
    void setSoundPlay(bool on);
    void setNotify(bool on);
    /// How the list shows the events (sorted by a column, -1: the file's order; done ones
    /// hidden); the events file keeps its order.
    void setListView(int sortColumn, bool sortDescending, bool hideDone);
    void setCloseToTray(bool on);
    void setStartHidden(bool on);

    // The clock.
    /// Checks the rows once against the clock: countdowns run down, due events are marked done
    /// and told through alarmsDue, then saved.
    void tick();
    /// Marks the active clock events whose moment passed while the program was not running as
    /// done, tells them through passedFound, then saves.
    void checkPassed();
    /// The timer's wake-up: ticks once the clock has reached the next second.
    void onTimer();
    [[nodiscard]] const QTimer& timer() const { return m_timer; }

signals:
    void alarmsDue(const DueEvents& due);
    void passedFound(const DueEvents& passed);
    /// A save failed; the message names the file (and the reason).
    void saveFailed(const QString& message);
    /// The events file had been changed by another program: that version is kept as backupFile.
    void changedFileKept(const QString& backupFile);
    /// Rows whose texts or status changed.
    void rowsChanged(int first, int last);
    void rowAboutToBeAdded(int row);
    void rowAdded(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void listAboutToBeReset();
    void listReset();

private:
    /// Runs a write; its AppError goes out through saveFailed. False when it failed.
    bool told(const std::function<void()>& write);
    void scheduleNextTick();
    void reset(EventList events);
    void removeRow(int row);
    void setStatus(int row, const QString& status);
    void markDone(int row);
    /// A delivered event: a repeating one moves on to its next occurrence after now and stays
    /// active, any other is marked done.
    void delivered(int row, const QDateTime& now);
    /// The row of the event due told of as index i, or -1 when it left the list.
    [[nodiscard]] int rowOf(const DueEvents& due, std::size_t i) const;
    void keepChangedEventsFile(const FileStamp& found);

    Clock& m_clock;
    ProgramFolder m_folder;
    EventList m_events;
    // The times rows show where they differ from their records' (counting down), by row: only
    // countdowns under way, so a big list of plain events costs nothing here.
    std::map<int, QString> m_shownTimes;
    QString m_activeWord;
    QString m_doneWord;
    ProgramSettings m_settings;
    bool m_open = false;
    bool m_eventsFileUnreadable = false;
    // How many "EventN" sections this run read from the events file or wrote to it: a save
    // removes those the list no longer has.
    std::size_t m_knownSections = 0;
    // The events file as this run last read or wrote it, to notice another program's change.
    FileStamp m_eventsStamp;
    bool m_toldSkippedSave = false;
    bool m_unsaved = false;
    qint64 m_previousTickSecond = 0;
    QTimer m_timer;
};
