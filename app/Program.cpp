#include "app/Program.h"

#include "Version.h"
#include "app/Commands.h"
#include "app/SoundAlarmDelivery.h"
#include "base/AppError.h"
#include "base/Logging.h"
#include "base/StoredText.h"
#include "core/Clock.h"
#include "core/ReminderBook.h"
#include "inifile/ProfileFile.h"
#include "platform/DBusNotifier.h"
#include "platform/DesktopShell.h"
#include "platform/InstalledQtTranslations.h"
#include "platform/ProgramLocation.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/ReminderService.h"
#include "platform/SessionBusProbe.h"
#include "platform/SingleInstance.h"
#include "platform/UnixSignalWatcher.h"
#include "platform/XdgAutoStart.h"
#include "platform/gstreamer/GstMediaDevice.h"
#include "platform/gstreamer/GstWaveSound.h"
#include "tray/DefaultIcon.h"
#include "tray/SystemTrayBackend.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QScopeGuard>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <optional>
#include <string_view>
#include <utility>
#include <variant>

namespace {

const QString kClassName = QStringLiteral("TApplication");
const QString kTitle = QStringLiteral(DORVANE_TITLE);
// Long enough for an instance that is just ending to let go of the folder.
constexpr int kFolderLockWaitMs = 500;
// A daemon answers in well under a millisecond; a stopped one never does.
constexpr std::chrono::milliseconds kSessionBusLimit{300};

/// The program's folder, and why no login entry can start this executable (empty when one can).
struct ProgramPlace
{
    ProgramFolder folder;
    QString autoStartUnavailable;
};

ProgramPlace programPlace()
{
    const ProgramLocation location = locateProgram();
    QString autoStartUnavailable;
    if (!location.pathIsLasting)
        autoStartUnavailable =
            QStringLiteral("Dorvane cannot start at login from its folder %1: the folder's name "
                           "is not UTF-8, and a login entry can only name UTF-8 paths. Move "
                           "Dorvane to a folder whose name is UTF-8 to have it start at login.")
                .arg(decodeStored(location.folderBytes));
    ProgramFolder folder = ProgramFolder::forRunningProgram(location.executable);
    // Per-user folders may not exist yet; a failure shows later as a refused save.
    for (const QString& file : {folder.eventsFile, folder.settingsFile})
        (void)QDir().mkpath(QFileInfo(file).absolutePath());
    return {std::move(folder), autoStartUnavailable};
}

/// Tells the user once that sounds go nowhere, without a box: one over the alarm's message
/// would hide it.
class NoAudioNotice
{
public:
    void attach(MainWindow& window) { m_window = &window; }
    void operator()()
    {
        if (std::exchange(m_told, true))
            return;
        const QString text =
            QStringLiteral("No audio output was found: alarm sounds cannot be heard.");
        qCWarning(lcMedia, "%s", qUtf8Printable(text));
        if (m_window)
            m_window->showNotice(text);
    }

private:
    MainWindow* m_window = nullptr;
    bool m_told = false;
};

/// The application object. The session manager's end arrives as the platform's own quit;
/// left to Qt it would close window after window, and a window refusing would keep the
/// program running past the session.
class DorvaneApplication : public QApplication
{
public:
    using QApplication::QApplication;
    std::function<void()> onSessionEnd;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::Quit && event->spontaneous() && onSessionEnd) {
            onSessionEnd();
            return true;
        }
        return QApplication::event(event);
    }
};

enum class FolderLock
{
    Held,
    HeldByAnother,
    Unavailable, // a read-only folder, say
};

/// The program folder's lock: the socket misses an instance that is still loading, or one
/// started without a usable runtime folder; the lock catches both, before anything is read.
/// Waits up to waitMs for a holder that is just ending. Says on the standard error stream why
/// the lock could not be taken; that another instance holds it only when told to.
FolderLock lockFolder(QLockFile& lock, int waitMs, bool tellHeld)
{
    lock.setStaleLockTime(0); // held for hours; a crashed holder is told by its process id
    if (lock.tryLock(waitMs))
        return FolderLock::Held;
    if (lock.error() != QLockFile::LockFailedError) {
        qCWarning(lcDesktop, "Cannot create %s: a second start on this folder is not refused",
                  qUtf8Printable(lock.fileName()));
        return FolderLock::Unavailable;
    }
    if (tellHeld) {
        qint64 pid = 0;
        QString host;
        QString name;
        (void)lock.getLockInfo(&pid, &host, &name);
        qCWarning(lcDesktop, "Dorvane already runs on %s (process %lld): this start ends",
                  qUtf8Printable(QFileInfo(lock.fileName()).absolutePath()),
                  static_cast<long long>(pid));
    }
    return FolderLock::HeldByAnother;
}

/// The events file read on a thread of its own once the folder is ours: a big list takes as
/// long to read as all the rest of the start together, which goes on meanwhile.
struct StartedRead
{
    ProgramSettings settings;
    std::future<EventList> events;
};

StartedRead startReading(const ProgramFolder& folder, FolderLock locked)
{
    if (locked == FolderLock::Held) {
        // No write can be under way now: what a killed write left behind is stale.
        profile::removeStaleTemporaries(folder.eventsFile.toStdString());
        profile::removeStaleTemporaries(folder.settingsFile.toStdString());
    }
    StartedRead read{ReminderBook::readSettings(folder), {}};
    read.events = std::async(std::launch::async, [folder, settings = read.settings] {
        return ReminderBook::readEvents(folder, settings);
    });
    return read;
}

/// Whether Qt has a platform to show windows on: one named explicitly (QT_QPA_PLATFORM or
/// -platform, as tests name offscreen), or an X or Wayland display. Without one Qt aborts with
/// advice that does not help.
bool hasWindowPlatform(int argc, const char* const* argv)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "-platform" || argument == "--platform")
            return true;
    }
    return false;
}

} // namespace

int runDorvane(int argc, char** argv)
{
    // A command of ours needs no display and makes no window: Qt Core only.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const CommandLine::Request request =
            CommandLine::parse(arguments, QDateTime::currentDateTime());
        !std::holds_alternative<CommandLine::StartProgram>(request)) {
        const QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("dorvane"));
        return Commands::run(request, programPlace().folder, kClassName, kTitle);
    }
    if (!hasWindowPlatform(argc, argv)) {
        std::fputs("Dorvane needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is "
                   "set.\n",
                   stderr);
        return 1;
    }
    UnixSignalWatcher::holdUntilWatched();
    // What a terminating signal or the session's end does. Until the window holds the events
    // there is nothing to write.
    const std::function<void()> endBare = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };
    std::function<void()> endProgram = endBare;

    qSetMessagePattern(QStringLiteral("%{if-category}%{category}: %{endif}%{message}"));
    // Before Qt connects to the bus on its own, on this thread and without a limit.
    avoidSilentSessionBus(kSessionBusLimit);
    DorvaneApplication app(argc, argv);
    app.onSessionEnd = [&endProgram] { endProgram(); };
    QApplication::setApplicationName(QStringLiteral("dorvane"));
    // The folder's lock first, then the events are read while the rest is built.
    const ProgramPlace place = programPlace();
    const ProgramFolder& folder = place.folder;
    QLockFile folderLock(folder.lockFile);
    FolderLock locked = lockFolder(folderLock, 0, false);
    std::optional<StartedRead> read;
    if (locked != FolderLock::HeldByAnother)
        read = startReading(folder, locked);

    // Ties the windows to the installed menu entry, so the desktop shows its icon and can pin it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.dorvane.Dorvane"));
    // The window goes to the notification area and comes back; only an explicit end quits.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(programIcon());

    QtMessageBoxes boxes;
    QtFileDialogs fileDialogs;
    std::optional<UnixSignalWatcher> signalWatcher;
    try {
        signalWatcher.emplace();
        QObject::connect(&*signalWatcher, &UnixSignalWatcher::signalReceived, &app,
                         [&endProgram] { endProgram(); });

        // The identity an older version announced, and our own: two instances side by side
        // would overwrite each other's events.
        SingleInstance instance(kClassName, kTitle);
        if (instance.activateRunning({QStringLiteral("Dorvane 1.4"), kTitle}))
            return 0;
        // Held by an instance that did not answer: one still loading, or one just ending.
        if (locked == FolderLock::HeldByAnother) {
            locked = lockFolder(folderLock, kFolderLockWaitMs, true);
            if (locked != FolderLock::HeldByAnother)
                read = startReading(folder, locked);
        }
        // Ended while starting, before the window holds the events: nothing to write, nothing
        // more to build.
        const auto endedEarly = [&signalWatcher] { return signalWatcher->hasPending(); };
        if (locked == FolderLock::HeldByAnother || endedEarly())
            return 0;
        instance.announce();

        const QString& defaultSound = folder.defaultSound;
        SystemClock clock;
        XdgAutoStart autoStart;
        DesktopShell shell;
        NoAudioNotice noAudio;
        GstWaveSound wave(defaultSound);
        wave.setNoAudioOutputHandler([&noAudio] { noAudio(); });
        GstMediaDeviceFactory devices;
        devices.setNoAudioOutputHandler([&noAudio] { noAudio(); });
        devices.setErrorHandler(
            [&boxes](const QString& message) { boxes.showError(nullptr, kTitle, message); });
        SoundAlarmDelivery delivery(wave, shell, devices, defaultSound);
        DBusNotifier notifier;
        InstalledQtTranslations qtTranslations;

        ReminderBook book(clock, folder);
        // Made before the window connects to the book: the window's alarm box waits for the
        // user, and the bus's signal must not wait for the box.
        MainWindow* shownWindow = nullptr;
        ReminderService reminders(book, clock, defaultSound, [&shownWindow] {
            if (shownWindow)
                shownWindow->restoreFromTray();
        });
        MainWindow form(book, {clock, boxes, fileDialogs, autoStart, delivery, shell, notifier,
                               qtTranslations, std::make_unique<SystemTrayBackend>(),
                               place.autoStartUnavailable});
        noAudio.attach(form);
        shownWindow = &form;
        // Ending the loops, not quitting: a quit would close the window once more.
        QObject::connect(&form, &MainWindow::exitRequested, &app,
                         [] { QCoreApplication::exit(0); });
        QObject::connect(&form, &MainWindow::closed, &app, [] { QCoreApplication::exit(0); });
        QObject::connect(&instance, &SingleInstance::activationRequested, &form,
                         &MainWindow::restoreFromTray);
        // Commands of later starts and of other programs go to the book, which saves at once.
        instance.setCommandHandler(
            [&book](const QStringList& command) { return Commands::answer(book, command); });
        const auto noCommands = qScopeGuard([&instance] { instance.setCommandHandler({}); });
        reminders.start();

        // Ended by a signal or by the session: the unattended shutdown, then the end, at once.
        // Boxes and dialogs may be open, each in its own event loop with code waiting behind it
        // that would run (and open the next box) if the loops were left one by one. The files
        // are complete on disk by now (written to a temporary file, synced, renamed), and
        // nothing else needs an orderly end, so the process ends right here.
        endProgram = [&form, &instance, &folderLock] {
            form.shutdownUnattended();
            instance.close();
            folderLock.unlock();
            std::fflush(nullptr);
            std::_Exit(0);
        };
        const auto unhook = qScopeGuard([&endProgram, &endBare] { endProgram = endBare; });
        // The session manager's save: written now, as the session may end without a word; the
        // program goes on until the session actually ends.
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                         [&form] { form.commitUnattended(); });

        if (endedEarly())
            return 0;
        form.startUp(read->settings, std::move(read->events));
        form.showAtStart();
        // Loading GStreamer and building the first message box take tens of milliseconds, which
        // the first alarm's box would wait for; done once the window is up, as they would hold
        // the window back as well.
        QTimer::singleShot(std::chrono::seconds(1), &wave, [&wave] {
            wave.prepare();
            QtMessageBoxes::warmUp();
        });
        app.exec();
    } catch (const AppError& error) {
        boxes.showError(nullptr, kTitle, QString::fromStdString(error.what()));
    }
    return 0;
}
