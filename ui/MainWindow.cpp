#include "ui/MainWindow.h"

#include "Version.h"
#include "base/AppError.h"
#include "base/Logging.h"
#include "core/ReminderBook.h"
#include "platform/AutoStart.h"
#include "platform/MessageBoxes.h"
#include "tray/TrayBackend.h"
#include "tray/TrayIcon.h"
#include "ui/AboutDialog.h"
#include "ui/AlarmNotifications.h"
#include "ui/DialogPlacement.h"
#include "ui/EventTableModel.h"
#include "ui/SettingsDialog.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QStatusBar>
#include <QTreeView>
#include <utility>

namespace {
const QString kCaption = QStringLiteral(DORVANE_TITLE);
constexpr int kDesignedListWidth = 520;
constexpr int kDesignedClientHeight = 310;
constexpr int kStatusBarHeight = 19;

/// The tray's tip for a notice: the program's name first, so the tip still says whose it is,
/// and the notice cut short to fit what the tip holds.
QString trayHint(const QString& notice)
{
    const QString prefix = kCaption + QStringLiteral(" \u2014 ");
    const qsizetype room = TrayIcon::hintLimit - 1 - prefix.size();
    if (notice.size() <= room)
        return prefix + notice;
    return prefix + notice.left(room - 1) + QChar(0x2026);
}
} // namespace

MainWindow::MainWindow(ReminderBook& book, MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), m_book(book), m_services(std::move(services))
{
    setWindowTitle(kCaption);
    // The column widths are laid out for an 8-point face.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    createMenus();
    createListView();
    createEventCommands();
    createViewCommands();
    auto* bar = new QStatusBar(this);
    bar->setFixedHeight(kStatusBarHeight);
    bar->setSizeGripEnabled(true);
    setStatusBar(bar);
    resize(kDesignedListWidth, kDesignedClientHeight);
    centreOnScreen(*this);

    // Created once and kept hidden between uses, so they keep what they show.
    m_settingsDialog = new SettingsDialog(this);
    m_aboutDialog = new AboutDialog(m_services.shell, this);
    connect(m_settingsDialog, &SettingsDialog::autoStartToggled, this, &MainWindow::setAutoStart);
    connect(m_settingsDialog, &SettingsDialog::playSoundToggled, &m_book,
            &ReminderBook::setSoundPlay);
    connect(m_settingsDialog, &SettingsDialog::notifyToggled, &m_book, &ReminderBook::setNotify);
    connect(m_settingsDialog, &SettingsDialog::closeToTrayToggled, &m_book,
            &ReminderBook::setCloseToTray);
    connect(m_settingsDialog, &SettingsDialog::startHiddenToggled, &m_book,
            &ReminderBook::setStartHidden);

    m_trayIcon = new TrayIcon(this, std::move(m_services.trayBackend), this);
    m_trayIcon->setPopupMenu(m_trayMenu);
    m_trayIcon->setRestoreOn(TrayTrigger::DoubleClick);
    m_trayIcon->setPopupMenuOn(TrayTrigger::RightClickUp);
    m_trayIcon->setHideOnMinimize(true);
    m_trayIcon->setVisible(true);

    m_notifications = new AlarmNotifications(
        m_services.notifier, m_services.boxes, m_book, [this] { restoreFromTray(); }, this);
    // What the book finds, the window shows; what it could not write, the window tells.
    connect(&m_book, &ReminderBook::alarmsDue, this, &MainWindow::showAlarm);
    connect(&m_book, &ReminderBook::passedFound, this, &MainWindow::showPassed);
    connect(&m_book, &ReminderBook::saveFailed, this, &MainWindow::showError);
    connect(&m_book, &ReminderBook::changedFileKept, this, [this](const QString& backup) {
        showNotice(m_changedFileKept.arg(QFileInfo(m_book.folder().eventsFile).fileName(),
                                         QFileInfo(backup).fileName()));
    });
}

MainWindow::~MainWindow()
{
    // The list repaints while the base class tears the window down: it must not call back
    // into the part of the window that is already gone.
    m_listView->removeEventFilter(this);
    m_searchEdit->removeEventFilter(this);
    m_listView->setModel(nullptr);
}

void MainWindow::showError(const QString& text)
{
    if (m_heldErrors)
        m_heldErrors->append(text);
    else if (m_unattended)
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
    const ProgramSettings settings = ReminderBook::readSettings(m_book.folder());
    // Read only when the other startUp() asks for the events.
    startUp(settings, std::async(std::launch::deferred, [this, settings] {
                return ReminderBook::readEvents(m_book.folder(), settings);
            }));
}

void MainWindow::startUp(const ProgramSettings& settings, std::future<EventList> events)
{
    m_applicationTitle = kCaption;
    applyLanguage(settings.languageName + QStringLiteral(".ini"));
    // A file that cannot be read is told, and the book leaves it as it is.
    (void)guarded([&] { m_book.open(settings, std::move(events)); });
    applyListView();
    // Alarms matter more than the login entry: a failure is shown and the start goes on.
    (void)guarded([this] { updateAutoStart(); });
    if (m_book.count() > 0)
        m_book.checkPassed();
}

void MainWindow::writeAll()
{
    m_book.writeSettings();
    updateAutoStart();
    m_book.writeEvents();
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
    if (!m_book.isOpen())
        return;
    // Nobody can answer, so one refused write must not cost the others: the events first, as
    // they matter most.
    m_unattended = true;
    (void)guarded([this] { m_book.writeEvents(); });
    (void)guarded([this] { m_book.writeSettings(); });
    (void)guarded([this] { updateAutoStart(); });
    m_unattended = false;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Kept running in the tray: the window's close button hides it as minimising does. File >
    // Exit closes it from within, which ends the program as always.
    if (event->spontaneous() && m_book.settings().closeToTray) {
        event->ignore();
        m_trayIcon->minimize();
        return;
    }
    if (!shutDown()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void MainWindow::updateAutoStart()
{
    const bool on = m_book.settings().autoStart;
    if (on && !m_services.autoStartUnavailable.isEmpty()) {
        // Nothing the user can fix by trying again: said once, and no step stops for it.
        if (!std::exchange(m_toldAutoStartUnavailable, true))
            showError(m_services.autoStartUnavailable);
        return;
    }
    if (on)
        m_services.autoStart.enable(windowTitle(), m_book.folder().executable);
    else
        m_services.autoStart.disable(windowTitle());
}

void MainWindow::showAtStart()
{
    // Started in the tray: only its icon, unless passed events were reported or there is no
    // tray to hold the window.
    if (!m_book.settings().startHidden || m_passedReported)
        show();
    else if (!m_trayIcon->isIconShown())
        showMinimized();
}

void MainWindow::restoreFromTray()
{
    m_trayIcon->restore();
}

void MainWindow::showNotice(const QString& text)
{
    statusBar()->showMessage(text);
    m_trayIcon->setHint(trayHint(text));
}
