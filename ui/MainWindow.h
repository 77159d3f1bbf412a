#pragma once

#include "core/AlarmRules.h"
#include "core/ColumnLayout.h"
#include "core/EventList.h"
#include "ui/EventTableModel.h"
#include "i18n/LanguageStrings.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

class AlarmDelivery;
struct ProgramSettings;
class AboutDialog;
class AutoStart;
class SettingsDialog;
class Shell;
class Clock;
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
    AutoStart& autoStart;
    AlarmDelivery& delivery;
    Shell& shell;
    QString executablePath;
    /// The notification area the tray icon lives in.
    std::unique_ptr<TrayBackend> trayBackend;
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
    void startUp();
    /// The shutdown sequence; false when a step failed (the error was shown, the window stays).
    [[nodiscard]] bool shutDown();
    /// The shutdown sequence when nobody can answer a box (a signal, the session ending):
    /// errors go to the standard error stream.
    void shutdownUnattended();
    void updateAutoStart();

    // The event store.
    void loadEvents(const QString& fileName, std::optional<int> limit);
    void saveEvents(const QString& fileName);
    /// Writes the default events file and, right after, the settings, so the settings' count
    /// always matches the file even if the program never reaches its shutdown.
    void saveEventsAndSettings();
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
    /// The language menu's choice: applies "<name>.ini"; the settings keep it at shutdown.
    void selectLanguage(const QString& name);

    // The alarm timer.
    /// The tick timer fired: ticks once the clock has reached the next second.
    void onTickTimer();
    void onTick();
    void reportPassedEvents();

    /// Brings the window back from the notification area, raised and active.
    void restoreFromTray();

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
    /// The tray menu's Exit: end the message loop at once, writing nothing.
    void exitRequested();
    /// The window closed after the shutdown sequence: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void createListView();
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
    void countDownRow(int row);
    void markDone(int row);
    [[nodiscard]] ProgramSettings currentSettings() const;
    /// Runs a step whose AppError is shown as the error box; false when it failed.
    bool guarded(const std::function<void()>& step);
    void writeAll();

    MainWindowServices m_services;
    QString m_applicationTitle;
    QString m_appDir;
    const QString m_eventsFileName = QStringLiteral("events.ini");
    QString m_defaultSoundFile;
    QString m_languageName = QStringLiteral("English");
    bool m_autoStart = true;
    bool m_soundPlay = true;
    bool m_notify = true;
    LanguageStrings m_strings;
    EventList m_events;
    std::optional<int> m_storedEventCount;
    bool m_eventsFileUnreadable = false;
    bool m_toldSkippedSave = false;
    qint64 m_previousTickSecond = 0;
    bool m_unattended = false;

    QTreeView* m_listView = nullptr;
    EventTableModel* m_model = nullptr;
    QTimer* m_tickTimer = nullptr;
    TrayIcon* m_trayIcon = nullptr;
    SettingsDialog* m_settingsDialog = nullptr;
    AboutDialog* m_aboutDialog = nullptr;

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
