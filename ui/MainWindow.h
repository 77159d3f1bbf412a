#pragma once

#include "core/AlarmRules.h"
#include "core/EventList.h"
#include "core/ProgramSettings.h"
#include "i18n/LanguageStrings.h"
#include "ui/ColumnLayout.h"
#include "ui/EventTableModel.h"

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <future>
#include <memory>
#include <vector>

class AlarmDelivery;
struct ProgramSettings;
class AboutDialog;
class AutoStart;
class SettingsDialog;
class Notifier;
class Shell;
class Clock;
class EventDialog;
class FileDialogs;
class MessageBoxes;
class QAction;
class QMenu;
class QTimer;
class QTreeView;
class TrayIcon;
class TrayBackend;

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
    QString executablePath;
    /// The notification area the tray icon lives in.
    std::unique_ptr<TrayBackend> trayBackend;
    /// Why no login entry can start this executable (empty when one can): told once, and
    /// the start and the shutdown go on.
    QString autoStartUnavailable = {};
};

/// The main window: owns the event list and its rows, the alarm timer, the tray icon and the
/// menus, and runs start-up and shutdown. What is due, and the files, are decided in core/.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);
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
    void updateAutoStart();

    // The event store.
    void loadEvents(const QString& fileName, std::optional<int> limit);
    void saveEvents(const QString& fileName);
    /// Writes the default events file and, right after, the settings, so the settings' count
    /// always matches the file even if the program never reaches its shutdown. False when a
    /// write failed (the error was shown).
    bool saveEventsAndSettings();
    void appendEvent(Event event);
    void replaceEvent(int index, Event event);
    void removeEventAt(int index);
    void clearEvents();

    // The list view.
    [[nodiscard]] QColor rowColour(int row) const;
    [[nodiscard]] QString rowTip(int row) const;
    void layoutColumns(int listWidth);

    // The language.
    void applyLanguage(const QString& fileName);
    /// The language menu's choice: applies "<name>.ini" and writes the settings at once.
    void selectLanguage(const QString& name);

    // The alarm timer.
    /// The tick timer fired: ticks once the clock has reached the next second.
    void onTickTimer();
    void onTick();
    void reportPassedEvents();

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
    /// The selected rows of the list, in ascending order.
    [[nodiscard]] std::vector<int> selectedRows() const;

    [[nodiscard]] const EventList& events() const { return m_events; }
    [[nodiscard]] const EventTableModel& model() const { return *m_model; }
    [[nodiscard]] QTreeView* listView() const { return m_listView; }
    [[nodiscard]] const LanguageStrings& strings() const { return m_strings; }
    [[nodiscard]] const QString& languageName() const { return m_languageName; }
    [[nodiscard]] const QString& defaultSoundFile() const { return m_defaultSoundFile; }
    [[nodiscard]] QString settingsFileName() const;
    [[nodiscard]] QString applicationTitle() const { return m_applicationTitle; }
    [[nodiscard]] QString defaultEventsFile() const { return m_appDir + m_eventsFileName; }

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
    void scheduleNextTick();
    void showError(const QString& text);
    void translateStatuses(const LanguageStrings& before);
    void showSettings();
    void showAbout();
    void setAutoStart(bool on);
    void setSoundPlay(bool on);
    void setNotify(bool on);
    void saveSettingsNow();
    void loadFromFile();
    void saveToFile();
    void exitFromTray();
    std::optional<quint32> notifyAlarm(const Event& first, int count, const QString& body,
                                       bool critical, const QString& boxText);
    void withdrawNotification(std::optional<quint32> id);
    void onNotificationAction(quint32 id, const QString& key);
    void countDownRow(int row);
    void markDone(int row);
    [[nodiscard]] ProgramSettings currentSettings() const;
    /// Runs a step whose AppError is shown as the error box; false when it failed.
    bool guarded(const std::function<void()>& step);
    void writeAll();
    void writeAllUnattended();

    MainWindowServices m_services;
    QString m_applicationTitle;
    QString m_appDir;
    const QString m_eventsFileName = QStringLiteral("events.ini");
    QString m_defaultSoundFile;
    QString m_languageName = QStringLiteral("English");
    bool m_autoStart = true;
    bool m_soundPlay = true;
    bool m_notify = true;
    QString m_loadFilter = QStringLiteral("Events Files (*.ini)|*.ini");
    QString m_saveFilter = QStringLiteral("Events Files (*.ini)|*.ini");
    QString m_saveFileName;
    struct Snoozable
    {
        Event event;
        QString boxText;
    };
    QHash<quint32, Snoozable> m_snoozable;
    LanguageStrings m_strings;
    EventList m_events;
    std::optional<int> m_storedEventCount;
    bool m_eventsFileUnreadable = false;
    bool m_toldSkippedSave = false;
    bool m_toldAutoStartUnavailable = false;
    qint64 m_previousTickSecond = 0;
    bool m_unattended = false;
    bool m_shutdownDone = false;
    bool m_eventsLoaded = false;

    QTreeView* m_listView = nullptr;
    EventTableModel* m_model = nullptr;
    QTimer* m_tickTimer = nullptr;
    TrayIcon* m_trayIcon = nullptr;
    SettingsDialog* m_settingsDialog = nullptr;
    AboutDialog* m_aboutDialog = nullptr;
    EventDialog* m_addDialog = nullptr;
    EventDialog* m_editDialog = nullptr;

    QMenu* m_fileMenu = nullptr;
    QAction* m_loadAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_clearAction = nullptr;
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
};
