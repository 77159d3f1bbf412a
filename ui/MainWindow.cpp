#include "ui/MainWindow.h"

#include "Version.h"
#include "base/AppError.h"
#include "base/Logging.h"
#include "core/AlarmDelivery.h"
#include "core/Clock.h"
#include "core/EventsFile.h"
#include "core/ProgramSettings.h"
#include "platform/AutoStart.h"
#include "platform/MessageBoxes.h"
#include "platform/Notifier.h"
#include "tray/TrayBackend.h"
#include "tray/TrayIcon.h"
#include "ui/AboutDialog.h"
#include "ui/SettingsDialog.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <utility>

namespace {
const QString kCaption = QStringLiteral(DORVANE_TITLE);
constexpr int kDesignedListWidth = 520;
constexpr int kDesignedClientHeight = 310;
constexpr int kStatusBarHeight = 19;
// How long after each wall-clock second the tick runs.
constexpr int kTickDelayMs = 1;
} // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services))
{
    setWindowTitle(kCaption);
    // The column widths are laid out for an 8-point face.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    createMenus();
    createListView();
    createEventCommands();
    auto* bar = new QStatusBar(this);
    bar->setFixedHeight(kStatusBarHeight);
    bar->setSizeGripEnabled(true);
    setStatusBar(bar);
    resize(kDesignedListWidth, kDesignedClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // Created once and kept hidden between uses, so they keep what they show.
    m_settingsDialog = new SettingsDialog(this);
    m_aboutDialog = new AboutDialog(m_services.shell, this);
    connect(&m_services.notifier, &Notifier::actionInvoked, this,
            &MainWindow::onNotificationAction);
    connect(&m_services.notifier, &Notifier::closed, this,
            [this](quint32 id) { m_snoozable.remove(id); });
    connect(m_settingsDialog, &SettingsDialog::autoStartToggled, this, &MainWindow::setAutoStart);
    connect(m_settingsDialog, &SettingsDialog::playSoundToggled, this, &MainWindow::setSoundPlay);
    connect(m_settingsDialog, &SettingsDialog::notifyToggled, this, &MainWindow::setNotify);

    m_trayIcon = new TrayIcon(this, std::move(m_services.trayBackend), this);
    m_trayIcon->setPopupMenu(m_trayMenu);
    m_trayIcon->setRestoreOn(TrayTrigger::DoubleClick);
    m_trayIcon->setPopupMenuOn(TrayTrigger::RightClickUp);
    m_trayIcon->setHideOnMinimize(true);
    m_trayIcon->setVisible(true);

    // The alarm clock runs from the window's construction to the end of the program, also under
    // the modal loops of dialogs and message boxes.
    m_tickTimer = new QTimer(this);
    m_tickTimer->setObjectName(QStringLiteral("tickTimer"));
    m_tickTimer->setSingleShot(true);
    m_tickTimer->setTimerType(Qt::PreciseTimer);
    connect(m_tickTimer, &QTimer::timeout, this, &MainWindow::onTickTimer);
    // The start-up second itself counts as not yet checked: the passed-events check only takes
    // what lies strictly before it.
    m_previousTickSecond = AlarmRules::decodeNow(m_services.clock.now()).wallSecond - 1;
    scheduleNextTick();
}

MainWindow::~MainWindow()
{
    // The list repaints while the base class tears the window down: it must not call back
    // into the part of the window that is already gone, nor read the records, which go first.
    m_listView->removeEventFilter(this);
    m_listView->setModel(nullptr);
}

void MainWindow::scheduleNextTick()
{
    // Re-armed each second for just after the next wall-clock second: a free-running interval
    // drifts and skips seconds. Just after, so that an alarm shows as soon as its second comes.
    const int msec = m_services.clock.now().time().msec();
    m_tickTimer->start(1000 - msec + kTickDelayMs);
}

void MainWindow::onTickTimer()
{
    // A timer can wake a little early (slack, or the wall clock running apart from the timer's):
    // still in the second the last tick checked, it waits for the rest of that second rather
    // than check it again.
    if (AlarmRules::wallSecondOf(m_services.clock.now()) == m_previousTickSecond) {
        scheduleNextTick();
        return;
    }
    // Armed first: the tick may open a modal message box, under which ticks go on.
    scheduleNextTick();
    onTick();
}

void MainWindow::createListView()
{
    m_model = new EventTableModel(m_events, this);
    m_model->rowColour = [this](int row) { return rowColour(row); };
    m_model->rowTip = [this](int row) { return rowTip(row); };

    m_listView = new QTreeView(this);
    m_listView->setObjectName(QStringLiteral("ListView1"));
    m_listView->setModel(m_model);
    m_listView->setRootIsDecorated(false);
    m_listView->setItemsExpandable(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setSortingEnabled(false);
    m_listView->setAllColumnsShowFocus(true);
    // Row tips also while the window is not the active one.
    m_listView->viewport()->setAttribute(Qt::WA_AlwaysShowToolTips);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_listView->header()->setSectionsClickable(false);
    m_listView->header()->setSectionsMovable(false);
    m_listView->header()->setStretchLastSection(false);
    QPalette palette = m_listView->palette();
    palette.setColor(QPalette::Base, Qt::white);
    m_listView->setPalette(palette);
    setColumnWidths({70, 55, 120, 200, 55});
    m_listView->installEventFilter(this);
    connect(m_listView, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_listMenu->popup(m_listView->viewport()->mapToGlobal(pos));
    });
    setCentralWidget(m_listView);
    m_listView->setFocus();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_listView && event->type() == QEvent::Resize) {
        // Laid out for the width the list had before this resize.
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->oldSize().isValid())
            layoutColumns(resize->oldSize().width());
    }
    return QMainWindow::eventFilter(watched, event);
}

QString MainWindow::settingsFileName() const
{
    const QFileInfo exe(m_services.executablePath);
    return exe.absolutePath() + QLatin1Char('/') + exe.completeBaseName() + QStringLiteral(".ini");
}

void MainWindow::showError(const QString& text)
{
    if (m_unattended)
        qCCritical(lcFiles, "%s", qUtf8Printable(text));
    else
        m_services.boxes.showError(this, m_applicationTitle, text);
}

bool MainWindow::guarded(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const AppError& error) {
        showError(QString::fromStdString(error.what()));
        return false;
    }
}

void MainWindow::startUp()
{
    const ProgramSettings settings = ProgramSettings::read(settingsFileName());
    // Read only when the other startUp() asks for the events, once the program's folder is set.
    startUp(settings, std::async(std::launch::deferred, [this, count = settings.eventCount] {
                return EventsFile::load(defaultEventsFile(), count, m_defaultSoundFile);
            }));
}

void MainWindow::startUp(const ProgramSettings& settings, std::future<EventList> events)
{
    m_applicationTitle = kCaption;
    m_appDir = QFileInfo(m_services.executablePath).absolutePath() + QLatin1Char('/');
    m_defaultSoundFile = m_appDir + QStringLiteral("sounds/alarm.wav");

    m_languageName = settings.languageName;
    m_autoStart = settings.autoStart;
    m_soundPlay = settings.soundPlay;
    m_notify = settings.notify;

    m_storedEventCount = settings.eventCount;

    applyLanguage(m_languageName + QStringLiteral(".ini"));
    // Without a valid count in the settings every event of the file is read: a lost settings
    // file must not hide events, nor let the next save overwrite them.
    m_eventsFileUnreadable = !guarded([&] {
        m_model->reset(events.get());
        m_eventsLoaded = true;
    });
    // Alarms matter more than the login entry: a failure is shown and the start goes on.
    (void)guarded([this] { updateAutoStart(); });
    if (!m_events.empty())
        reportPassedEvents();
}

void MainWindow::writeAll()
{
    currentSettings().write(settingsFileName());
    updateAutoStart();
    saveEvents(defaultEventsFile());
}

bool MainWindow::shutDown()
{
    if (m_shutdownDone)
        return true;
    m_shutdownDone = guarded([this] { writeAll(); });
    return m_shutdownDone;
}

void MainWindow::shutdownUnattended()
{
    if (std::exchange(m_shutdownDone, true))
        return;
    writeAllUnattended();
}

void MainWindow::commitUnattended()
{
    if (!m_shutdownDone)
        writeAllUnattended();
}

void MainWindow::writeAllUnattended()
{
    // Ended before the events were in: an empty or partial list would replace the file.
    if (!m_eventsLoaded)
        return;
    // Nobody can answer, so one refused write must not cost the others: the events first, as
    // they matter most.
    m_unattended = true;
    (void)guarded([this] { saveEvents(defaultEventsFile()); });
    (void)guarded([this] { currentSettings().write(settingsFileName()); });
    (void)guarded([this] { updateAutoStart(); });
    m_unattended = false;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!shutDown()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void MainWindow::updateAutoStart()
{
    if (m_autoStart && !m_services.autoStartUnavailable.isEmpty()) {
        // Nothing the user can fix by trying again: said once, and no step stops for it.
        if (!std::exchange(m_toldAutoStartUnavailable, true))
            showError(m_services.autoStartUnavailable);
        return;
    }
    if (m_autoStart)
        m_services.autoStart.enable(windowTitle(),
                                    QFileInfo(m_services.executablePath).absoluteFilePath());
    else
        m_services.autoStart.disable(windowTitle());
}

ProgramSettings MainWindow::currentSettings() const
{
    ProgramSettings settings;
    settings.languageName = m_languageName;
    // While the events file cannot be read, the settings keep the count they had for it.
    settings.eventCount = m_eventsFileUnreadable ? m_storedEventCount
                                                 : std::optional(static_cast<int>(m_events.size()));
    settings.autoStart = m_autoStart;
    settings.soundPlay = m_soundPlay;
    settings.notify = m_notify;
    return settings;
}

void MainWindow::loadEvents(const QString& fileName, std::optional<int> limit)
{
    m_model->reset(EventsFile::load(fileName, limit, m_defaultSoundFile));
    m_eventsLoaded = true;
}

void MainWindow::saveEvents(const QString& fileName)
{
    if (m_eventsFileUnreadable && fileName == defaultEventsFile()) {
        // Writing what little we know over a file we could not read would lose its events.
        if (!std::exchange(m_toldSkippedSave, true))
            showError(QStringLiteral("The events were not saved: %1 could not be read when "
                                     "Dorvane started, so it is left as it is.")
                          .arg(fileName));
        return;
    }
    EventsFile::save(fileName, m_events);
}

bool MainWindow::saveEventsAndSettings()
{
    return guarded([this] {
        saveEvents(defaultEventsFile());
        currentSettings().write(settingsFileName());
    });
}

void MainWindow::appendEvent(Event event)
{
    m_model->append(std::move(event));
}

void MainWindow::replaceEvent(int index, Event event)
{
    m_model->replace(index, std::move(event));
}

void MainWindow::removeEventAt(int index)
{
    m_model->removeAt(index);
}

void MainWindow::clearEvents()
{
    m_model->reset({});
}

void MainWindow::restoreFromTray()
{
    m_trayIcon->restore();
}

void MainWindow::showNotice(const QString& text)
{
    statusBar()->showMessage(text);
    m_trayIcon->setHint(text);
}
