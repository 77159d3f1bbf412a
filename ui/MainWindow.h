#pragma once

#include "core/ProgramFolder.h"
#include "i18n/LanguageStrings.h"
#include "ui/ColumnLayout.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <functional>
#include <future>
#include <memory>
#include <vector>

class AboutDialog;
class AlarmDelivery;
class AlarmNotifications;
class AutoStart;
class Clock;
class EventDialog;
class EventList;
class EventTableModel;
class EventViewModel;
class FileDialogs;
class MessageBoxes;
class Notifier;
class QAction;
class QLineEdit;
class QMenu;
class QToolBar;
class QTreeView;
class QtTranslations;
class ReminderBook;
class SettingsDialog;
class Shell;
class TrayBackend;
class TrayIcon;
struct DueEvents;
struct ProgramSettings;

/// The platform services the main window uses; tests give fakes.
struct MainWindowServices
{
    Clock& clock;
    MessageBoxes& boxes;
    FileDialogs& fileDialogs;
    AutoStart& autoStart;
    AlarmDelivery& delivery;
    Shell& shell;
    Notifier& notifier;
    QtTranslations& qtTranslations;
    /// The notification area the tray icon lives in.
    std::unique_ptr<TrayBackend> trayBackend;
    /// Why no login entry can start this executable (empty when one can): told once, and
    /// the start and the shutdown go on.
    QString autoStartUnavailable = {};
};

/// The main window shows the reminder book: its list, menus, dialogs and boxes, and the tray
/// icon. What is due, and when the files are written, the book decides.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(ReminderBook& book, MainWindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up and shutdown.
    /// Reads the settings and the events file, then reports the events that passed meanwhile.
    void startUp();
    /// The same, with the settings read and the events file being read already (on a thread
    /// started before the window was built); a read error comes out of events.
    void startUp(const ProgramSettings& settings, std::future<EventList> events);
    /// The shutdown sequence; false when a step failed (the error was shown, the window stays).
    /// True at once when a shutdown already ran: the files are written once.
    [[nodiscard]] bool shutDown();
    /// The shutdown when nobody can answer a box (a signal, the session ending), run once: every
    /// step runs even when one fails, each failure goes to the standard error stream.
    void shutdownUnattended();
    /// The writes of shutdownUnattended() while the program goes on (a session manager's save).
    void commitUnattended();

    // The language.
    void applyLanguage(const QString& fileName);
    /// The language menu's choice: applies "<name>.ini" and writes the settings at once.
    void selectLanguage(const QString& name);

    /// Shows the window after startUp(), or only the tray icon when the settings say so.
    void showAtStart();
    /// Brings the window back from the notification area, raised and active.
    void restoreFromTray();
    /// A notice that must not cover what the user is doing: the status bar and the tray's tip.
    void showNotice(const QString& text);

    // The event commands.
    /// Opens the Add dialog with today's date and the current time; other fields as left.
    void addEvent();
    /// The Edit command: the first selected event, or a request to select one.
    void editEvent();
    /// Fills the Edit dialog from the first selected event, saves, and opens the dialog.
    void editSelectedEvent();
    /// Deletes the selected events once the user confirms, then saves.
    void deleteSelectedEvents();
    /// The book's rows of the selected rows of the list, in the order the list shows them.
    [[nodiscard]] std::vector<int> selectedRows() const;

    /// Lays the columns out for a list of the given width.
    void layoutColumns(int listWidth);

    [[nodiscard]] ReminderBook& book() const { return m_book; }
    [[nodiscard]] const EventTableModel& model() const { return *m_model; }
    [[nodiscard]] QTreeView* listView() const { return m_listView; }
    [[nodiscard]] const EventViewModel& viewModel() const { return *m_viewModel; }
    [[nodiscard]] const LanguageStrings& strings() const { return m_strings; }
    [[nodiscard]] const QString& applicationTitle() const { return m_applicationTitle; }

signals:
    /// The tray menu's Exit, after the shutdown writes: end the message loop.
    void exitRequested();
    /// The window closed after the shutdown sequence: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void createListView();
    void createEventCommands();
    void setColumnWidths(const ColumnLayout::Widths& widths);
    void showError(const QString& text);
    /// Runs a step whose AppError is shown as the error box; false when it failed.
    bool guarded(const std::function<void()>& step);
    void updateAutoStart();
    void writeAll();
    void writeAllUnattended();
    void applyCurrentLanguage();
    void showAlarm(const DueEvents& due);
    void showPassed(const DueEvents& passed);
    void showSettings();
    void showAbout();
    void setAutoStart(bool on);
    void loadFromFile();
    void saveToFile();
    void clearList();
    void importCalendar();
    void exportCalendar();
    void exitFromTray();
    /// Runs an alarm's delivery, then writes what it marked done: an error box about the write
    /// must not hold the sound, the extra file or the notification back.
    void deliverThenSave(const std::function<void()>& deliver);
    // Sorting and searching the list, the view only.
    void createViewCommands();
    void showSearch();
    void hideSearch();
    /// The list's sort and filter from the settings, at start-up.
    void applyListView();
    void saveListView();
    /// The search field's own keys: Escape hides it, Enter goes to the list.
    bool searchFieldKey(QEvent& event);

    ReminderBook& m_book;
    MainWindowServices m_services;
    QString m_applicationTitle;
    QString m_loadFilter = QStringLiteral("Events Files (*.ini)|*.ini");
    QString m_saveFilter = QStringLiteral("Events Files (*.ini)|*.ini");
    QString m_saveFileName;
    QString m_confirmClear = QStringLiteral("Remove all %1 events from the list?");
    QString m_calendarFiles = QStringLiteral("Calendar files");
    QString m_imported = QStringLiteral(
        "%1: %2 added, %3 skipped as already present, %4 simplified to their next occurrence.");
    QString m_exported = QStringLiteral("%1 events exported to %2.");
    // Short enough for the status bar of the window's first size.
    QString m_changedFileKept = QStringLiteral("%1 was changed elsewhere; kept as %2");
    LanguageStrings m_strings;
    bool m_toldAutoStartUnavailable = false;
    bool m_unattended = false;
    bool m_shutdownDone = false;
    // While an alarm is being delivered, the errors to show after it.
    QStringList* m_heldErrors = nullptr;

    QTreeView* m_listView = nullptr;
    EventTableModel* m_model = nullptr;
    TrayIcon* m_trayIcon = nullptr;
    AlarmNotifications* m_notifications = nullptr;
    SettingsDialog* m_settingsDialog = nullptr;
    AboutDialog* m_aboutDialog = nullptr;
    EventDialog* m_addDialog = nullptr;
    EventDialog* m_editDialog = nullptr;

    QMenu* m_fileMenu = nullptr;
    QAction* m_loadAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_clearAction = nullptr;
    QAction* m_importCalendarAction = nullptr;
    QAction* m_exportCalendarAction = nullptr;
    QAction* m_exitAction = nullptr;
    QMenu* m_eventsMenu = nullptr;
    QAction* m_addAction = nullptr;
    QAction* m_editAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QMenu* m_optionsMenu = nullptr;
    QAction* m_settingsAction = nullptr;
    QMenu* m_languageMenu = nullptr;
    QAction* m_englishAction = nullptr;
    QAction* m_russianAction = nullptr;
    QMenu* m_helpMenu = nullptr;
    QAction* m_aboutAction = nullptr;
    QMenu* m_trayMenu = nullptr;
    QAction* m_trayAddAction = nullptr;
    QAction* m_trayRestoreAction = nullptr;
    QAction* m_trayExitAction = nullptr;
    QMenu* m_listMenu = nullptr;
    QAction* m_listEditAction = nullptr;
    QAction* m_listDeleteAction = nullptr;

    EventViewModel* m_viewModel = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    QToolBar* m_searchBar = nullptr;
    QMenu* m_viewMenu = nullptr;
    QAction* m_searchAction = nullptr;
    QAction* m_hideDoneAction = nullptr;
    QAction* m_fileOrderAction = nullptr;
    // Repeat, snooze and the tray.
    QString m_snoozeButton = QStringLiteral("&Snooze");
    QString m_snoozeEntry = QStringLiteral("%1 minutes");
    bool m_passedReported = false;
};
