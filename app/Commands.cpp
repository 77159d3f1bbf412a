#include "app/Commands.h"

#include "Version.h"
#include "base/AppError.h"
#include "core/CalendarTransfer.h"
#include "core/Clock.h"
#include "core/EventsFile.h"
#include "core/ProgramSettings.h"
#include "core/ReminderBook.h"
#include "core/StatusWords.h"
#include "i18n/LanguageFile.h"
#include "inifile/ProfileFile.h"
#include "inifile/ProfileSession.h"
#include "platform/ReminderService.h"
#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QThread>
#include <QUrl>
#include <cstdio>
#include <future>

namespace Commands {

namespace {

using CommandLine::AddReminder;

const QString kAddVerb = QStringLiteral("add");
const QString kImportVerb = QStringLiteral("import");
const QString kExportVerb = QStringLiteral("export");
const QByteArray kAdded = "ok ";
const QByteArray kFailed = "failed ";
const QByteArray kLater = "later";
const QByteArray kElsewhere = "elsewhere";
// An instance may still be loading a big list, or be just ending and letting go of the lock.
constexpr int kInstanceWaitMs = 10000;
// Long enough for the instance to save a big list.
constexpr int kAnswerWaitMs = 5000;
constexpr int kRetryMs = 100;

const char* const kHelp =
    "Usage: dorvane [Qt options]\n"
    "       dorvane --add --title TEXT [--message TEXT]\n"
    "               (--at \"YYYY-MM-DD HH:MM[:SS]\" | --in DURATION)\n"
    "               [--sound FILE] [--file FILE] [--repeat KIND]\n"
    "       dorvane --list [--json]\n"
    "       dorvane --import FILE.ics | --export FILE.ics\n"
    "       dorvane --help | --version\n"
    "\n"
    "Without a command Dorvane shows its window, or brings forward the one running.\n"
    "\n"
    "  --add             add a reminder: to the running Dorvane when one runs on this\n"
    "                    program folder, else straight into its events file\n"
    "    --title TEXT    the title (required)\n"
    "    --message TEXT  the message\n"
    "    --at MOMENT     when, in local time: \"2026-12-24 18:00\" or \"2026-12-24 18:00:30\"\n"
    "    --in DURATION   when, from now: 90s, 10m, 2h, 1h30m\n"
    "    --sound FILE    the alarm's sound (without it the program's alarm.wav; \"\" for none)\n"
    "    --file FILE     a document or program to open with the alarm\n"
    "    --repeat KIND   Daily, Weekdays, Weekly, Monthly or Yearly\n"
    "  --list            the events, one a line: date, time, status and title, tab-separated\n"
    "    --json          the events as a JSON array of objects with every field\n"
    "  --import FILE     add a calendar file's events (iCalendar); events already there\n"
    "                    (the same UID) are skipped\n"
    "  --export FILE     write every event to a calendar file (iCalendar)\n"
    "  --help, -h        this help\n"
    "  --version         the program's name and version\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 bad arguments.\n"
    "See dorvane(1).\n";

void print(FILE* stream, const QByteArray& text)
{
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stream);
}

void printError(const QString& text)
{
    print(stderr, QByteArrayLiteral("dorvane: ") + text.toLocal8Bit() + '\n');
}

int badArguments(const QString& text)
{
    printError(text);
    print(stderr, "Try 'dorvane --help'.\n");
    return BadArguments;
}

/// The active status word of the language in the settings, as a start would take it.
QString activeWord(const ProgramFolder& folder, const ProgramSettings& settings)
{
    const LanguageFile language(settings.languageName + QStringLiteral(".ini"),
                                folder.languageFolder);
    return StatusWords::usable({}, {}, language.text("StringActive", {}),
                               language.text("StringDone", {}))
        .first;
}

std::string utf8(const QString& text)
{
    return text.toStdString();
}

/// Writes the event as section "Event<index>", in place of any section of that name (a left-over
/// of a deleted event whose keys must not stick to the new one).
void writeSection(const QString& eventsFile, std::size_t index, const Event& event)
{
    const std::string section = "Event" + std::to_string(index);
    profile::ProfileSession file(eventsFile.toStdString());
    const auto named = [&file, &section] {
        for (const profile::ProfileSession::SectionReader& reader : file.sections())
            if (QString::fromStdString(std::string(reader.name()))
                    .compare(QString::fromStdString(section), Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    while (named())
        file.eraseSection(section);
    file.writeString(section, "Date", utf8(event.date));
    file.writeString(section, "Time", utf8(event.time));
    file.writeString(section, "Countdown", "0");
    file.writeString(section, "Title", utf8(event.title));
    file.writeString(section, "Message", utf8(event.message));
    file.writeString(section, "Sound File", utf8(event.soundFile));
    file.writeString(section, "Extra File", utf8(event.extraFile));
    file.writeString(section, "Status", utf8(event.status));
    // Only when set, as the events file's own writer does; an earlier version ignores it.
    if (!event.repeat.isEmpty())
        file.writeString(section, "Repeat", event.repeat.toStdString());
    file.commit();
}

/// Appends the event to the folder's files: the section after the events a start would read,
/// then the settings' count. The caller holds the folder's lock. Both files stay as they were
/// when either cannot be written. Throws AppError.
std::size_t appendToFiles(const ProgramFolder& folder, const AddReminder& add)
{
    const ProgramSettings settings = ProgramSettings::read(folder.settingsFile);
    // Read as a start reads it: a file that cannot be read is not written.
    const std::size_t index =
        EventsFile::load(folder.eventsFile, settings.eventCount, folder.defaultSound).size();
    const Event event =
        CommandLine::newEvent(add, activeWord(folder, settings), folder.defaultSound);
    const profile::FileContent before = profile::readWholeFile(folder.eventsFile.toStdString());
    if (before.status == profile::ReadStatus::Unreadable)
        throw AppError("Cannot read " + folder.eventsFile.toStdString());
    writeSection(folder.eventsFile, index, event);
    try {
        profile::ProfileSession file(folder.settingsFile.toStdString());
        file.writeString("Options", "Events", std::to_string(index + 1));
        file.commit();
    } catch (const AppError&) {
        // Without the count the next start would not show the event: no half of it stays.
        if (before.status == profile::ReadStatus::Ok)
            profile::replaceFileAtomically(folder.eventsFile.toStdString(), before.bytes);
        else
            QFile::remove(folder.eventsFile);
        throw;
    }
    return index;
}

QString sameFolderKey(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? folder : canonical;
}

void tellAdded(std::size_t index, const Event& event)
{
    print(stdout, QStringLiteral("Added event %1: %2 %3 %4\n")
                      .arg(index)
                      .arg(event.date, event.time, event.title)
                      .toLocal8Bit());
}

int addReminder(AddReminder add, const ProgramFolder& folder, const QString& className,
                const QString& title)
{
    // The running instance and later starts work in other folders: names become whole paths.
    for (auto* file : {&add.extraFile, add.soundFile ? &*add.soundFile : nullptr}) {
        if (!file || file->isEmpty())
            continue;
        const QFileInfo info(*file);
        if (!info.exists())
            return badArguments(QStringLiteral("%1: there is no file %2")
                                    .arg(file == &add.extraFile ? QStringLiteral("--file")
                                                                : QStringLiteral("--sound"),
                                         *file));
        *file = info.absoluteFilePath();
    }
    const Event event = CommandLine::newEvent(add, {}, folder.defaultSound);
    const QStringList handed = {
        kAddVerb,        folder.folder,   event.title,
        event.message,   event.date,      event.time,
        event.soundFile, event.extraFile, QString::fromLatin1(event.repeat)};

    QLockFile lock(folder.lockFile);
    lock.setStaleLockTime(0); // held for hours by a running instance; a dead one is told by its id
    const QDeadlineTimer deadline(kInstanceWaitMs);
    for (;;) {
        try {
            if (lock.tryLock(0)) {
                tellAdded(appendToFiles(folder, add), event);
                return Done;
            }
            const bool noLock = lock.error() != QLockFile::LockFailedError;
            const std::optional<QByteArray> answer =
                SingleInstance::sendCommand(className, title, handed, kAnswerWaitMs);
            if (answer && answer->startsWith(kAdded)) {
                tellAdded(answer->mid(kAdded.size()).toULongLong(), event);
                return Done;
            }
            if (answer && answer->startsWith(kFailed)) {
                printError(QUrl::fromPercentEncoding(answer->mid(kFailed.size())));
                return FileFailed;
            }
            // No lock to take (a read-only folder, say) and no instance here: as a start would.
            if (noLock && answer != kLater) {
                tellAdded(appendToFiles(folder, add), event);
                return Done;
            }
        } catch (const AppError& error) {
            printError(QString::fromStdString(error.what()));
            return FileFailed;
        }
        if (deadline.hasExpired()) {
            printError(QStringLiteral("Dorvane runs on %1 but did not take the event; nothing "
                                      "was written")
                           .arg(folder.folder));
            return FileFailed;
        }
        QThread::msleep(kRetryMs);
    }
}

/// The book's answer to an import or export: "ok" and the figures, else the failure.
QByteArray calendarAnswer(ReminderBook& book, const QString& verb, const QString& fileName)
{
    try {
        const QDateTime now = QDateTime::currentDateTime();
        if (verb == kImportVerb) {
            const CalendarTransfer::Counts counts =
                CalendarTransfer::importFile(book, fileName, now);
            return kAdded + QByteArray::number(counts.added) + ' ' +
                   QByteArray::number(counts.skipped) + ' ' + QByteArray::number(counts.simplified);
        }
        return kAdded + QByteArray::number(CalendarTransfer::exportFile(book, fileName, now));
    } catch (const AppError& error) {
        return kFailed + QUrl::toPercentEncoding(QString::fromStdString(error.what()));
    }
}

/// The same straight on the folder's files, as a start would read them; the caller holds the
/// folder's lock.
QByteArray calendarOnFiles(const ProgramFolder& folder, const QString& verb,
                           const QString& fileName)
{
    SystemClock clock;
    ReminderBook book(clock, folder);
    const ProgramSettings settings = ReminderBook::readSettings(folder);
    const LanguageFile language(settings.languageName + QStringLiteral(".ini"),
                                folder.languageFolder);
    const auto [active, done] = StatusWords::usable({}, {}, language.text("StringActive", {}),
                                                    language.text("StringDone", {}));
    std::promise<EventList> events;
    events.set_value(ReminderBook::readEvents(folder, settings));
    book.open(settings, events.get_future());
    book.setStatusWords(active, done);
    return calendarAnswer(book, verb, fileName);
}

int tellCalendar(const QString& verb, const QString& fileName, const QByteArray& answer)
{
    if (answer.startsWith(kFailed)) {
        printError(QUrl::fromPercentEncoding(answer.mid(kFailed.size())));
        return FileFailed;
    }
    const QList<QByteArray> figures = answer.mid(kAdded.size()).split(' ');
    if (verb == kImportVerb && figures.size() == 3)
        print(stdout, QStringLiteral("Imported %1: %2 added, %3 skipped as already present, %4 "
                                     "simplified to their next occurrence\n")
                          .arg(fileName, QString::fromLatin1(figures[0]),
                               QString::fromLatin1(figures[1]), QString::fromLatin1(figures[2]))
                          .toLocal8Bit());
    else
        print(stdout, QStringLiteral("Exported %1 events to %2\n")
                          .arg(QString::fromLatin1(figures.value(0)), fileName)
                          .toLocal8Bit());
    return Done;
}

int calendarCommand(const QString& verb, const QString& given, const ProgramFolder& folder,
                    const QString& className, const QString& title)
{
    // The running instance works in another folder: the name becomes a whole path.
    const QString fileName = QFileInfo(given).absoluteFilePath();
    if (verb == kImportVerb && !QFileInfo(fileName).isFile())
        return badArguments(QStringLiteral("--import: there is no file %1").arg(given));
    const QStringList handed = {verb, folder.folder, fileName};
    QLockFile lock(folder.lockFile);
    lock.setStaleLockTime(0);
    const QDeadlineTimer deadline(kInstanceWaitMs);
    for (;;) {
        try {
            if (lock.tryLock(0))
                return tellCalendar(verb, given, calendarOnFiles(folder, verb, fileName));
            const bool noLock = lock.error() != QLockFile::LockFailedError;
            const std::optional<QByteArray> answer =
                SingleInstance::sendCommand(className, title, handed, kAnswerWaitMs);
            if (answer && (answer->startsWith(kAdded) || answer->startsWith(kFailed)))
                return tellCalendar(verb, given, *answer);
            if (noLock && answer != kLater)
                return tellCalendar(verb, given, calendarOnFiles(folder, verb, fileName));
        } catch (const AppError& error) {
            printError(QString::fromStdString(error.what()));
            return FileFailed;
        }
        if (deadline.hasExpired()) {
            printError(QStringLiteral("Dorvane runs on %1 but did not answer; nothing was written")
                           .arg(folder.folder));
            return FileFailed;
        }
        QThread::msleep(kRetryMs);
    }
}

QJsonObject jsonOf(int index, const Event& event)
{
    return {{QStringLiteral("index"), index},
            {QStringLiteral("date"), event.date},
            {QStringLiteral("time"), event.time},
            {QStringLiteral("countdown"), event.countdown},
            {QStringLiteral("title"), event.title},
            {QStringLiteral("message"), event.message},
            {QStringLiteral("soundFile"), event.soundFile},
            {QStringLiteral("extraFile"), event.extraFile},
            {QStringLiteral("status"), event.status},
            {QStringLiteral("repeat"), QString::fromUtf8(event.repeat)}};
}

int listReminders(const ProgramFolder& folder, bool json)
{
    EventList events;
    try {
        // The files as the last save left them: every write replaces them whole, so a running
        // instance's save is seen complete or not at all.
        const ProgramSettings settings = ProgramSettings::read(folder.settingsFile);
        events = EventsFile::load(folder.eventsFile, settings.eventCount, folder.defaultSound);
    } catch (const AppError& error) {
        printError(QString::fromStdString(error.what()));
        return FileFailed;
    }
    if (json) {
        QJsonArray array;
        int index = 0;
        for (const Event& event : events)
            array.append(jsonOf(index++, event));
        print(stdout, QJsonDocument(array).toJson(QJsonDocument::Indented));
        return Done;
    }
    for (const Event& event : events)
        print(stdout, QStringList{event.date, event.time, event.status, event.title}
                              .join(QLatin1Char('\t'))
                              .toLocal8Bit() +
                          '\n');
    return Done;
}

} // namespace

int run(const CommandLine::Request& request, const ProgramFolder& folder, const QString& className,
        const QString& title)
{
    if (const auto* wrong = std::get_if<CommandLine::Mistake>(&request))
        return badArguments(wrong->text());
    if (std::holds_alternative<CommandLine::ShowHelp>(request)) {
        print(stdout, kHelp);
        return Done;
    }
    if (std::holds_alternative<CommandLine::ShowVersion>(request)) {
        print(stdout, DORVANE_TITLE "\n");
        return Done;
    }
    if (const auto* list = std::get_if<CommandLine::ListReminders>(&request))
        return listReminders(folder, list->json);
    if (const auto* add = std::get_if<AddReminder>(&request))
        return addReminder(*add, folder, className, title);
    if (const auto* in = std::get_if<CommandLine::ImportCalendar>(&request))
        return calendarCommand(kImportVerb, in->fileName, folder, className, title);
    if (const auto* out = std::get_if<CommandLine::ExportCalendar>(&request))
        return calendarCommand(kExportVerb, out->fileName, folder, className, title);
    return Done;
}

QByteArray answer(ReminderBook& book, const QStringList& arguments)
{
    if (arguments.size() == 3 && (arguments[0] == kImportVerb || arguments[0] == kExportVerb)) {
        if (sameFolderKey(arguments[1]) != sameFolderKey(book.folder().folder))
            return kElsewhere;
        if (!book.isOpen())
            return kLater;
        return calendarAnswer(book, arguments[0], arguments[2]);
    }
    if (arguments.size() != 9 || arguments[0] != kAddVerb)
        return "unknown";
    if (sameFolderKey(arguments[1]) != sameFolderKey(book.folder().folder))
        return kElsewhere;
    if (!book.isOpen())
        return kLater;
    Event event;
    event.title = arguments[2];
    event.message = arguments[3];
    event.date = arguments[4];
    event.time = arguments[5];
    event.soundFile = arguments[6];
    event.extraFile = arguments[7];
    event.repeat = arguments[8].toLatin1();
    event.status = book.activeWord();
    const std::variant<int, QString> added = addToBook(book, std::move(event));
    if (const auto* failure = std::get_if<QString>(&added))
        return kFailed + QUrl::toPercentEncoding(*failure);
    return kAdded + QByteArray::number(std::get<int>(added));
}

} // namespace Commands
