#pragma once

#include "app/AlarmRules.h"
#include "app/ColumnLayout.h"
#include "app/EventList.h"
#include "app/EventRows.h"
#include "i18n/LanguageStrings.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

class AlarmDelivery;
struct ProgramSettings;
class AutoStart;
class Clock;
class MessageBoxes;
class QAction;
class QMenu;
class QStatusBar;
class QTimer;
class QTreeView;
class TTrayIcon;
class TrayBackend;

/// The platform services the main window uses; tests give fakes.
struct TForm1Services
{
    Clock& clock;
    MessageBoxes& boxes;
    AutoStart& autoStart;
    AlarmDelivery& delivery;
    QString executablePath;
    /// The notification area the tray icon lives in.
    std::unique_ptr<TrayBackend> trayBackend;
};

/// The main window: owns the event list and its rows, the alarm timer, the tray icon and the
/// menus, and runs start-up and shutdown. The work itself is done by the classes in app/.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(TForm1Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up and shutdown.
    void FormCreate();
    /// The shutdown sequence; false when a step failed (the error was shown, the window stays).
    [[nodiscard]] bool FormClose();
    /// The shutdown sequence when nobody can answer a box (a signal, the session ending):
    /// errors go to the standard error stream.
    void shutdownUnattended();
    void UpdateAutoStart();

    // The event store.
    void LoadEvents(const QString& FileName, std::optional<int> limit);
    void SaveEvents(const QString& FileName);
    /// Writes the default events file and, right after, the settings, so the settings' count
    /// always matches the file even if the program never reaches its shutdown.
    void SaveEventsAndSettings();
    void appendEvent(Events event);
    void replaceEvent(int index, Events event);
    void removeEventAt(int index);
    void clearEvents();

    // The list view.
    void FillEventView();
    [[nodiscard]] QColor ListView1CustomDrawItem(int row) const;
    [[nodiscard]] QString ListView1InfoTip(int row) const;
    void FormCanResize(int listWidth);

    // The language.
    void ApplyLanguage(const QString& FileName);

    // The alarm timer.
    void Timer1Timer();
    void CheckPassedEvents();
    void DecodeNow();
    void CountDownRow(int row);

    /// Brings the window back from the notification area, raised and active.
    void PRestoreClick();

    // State read by tests and by the parts of the program.
    QString AppDir;
    QString EventsFileName = QStringLiteral("events.ini");
    QString DefaultSoundFile;
    QString LanguageName = QStringLiteral("English");
    int EventCount = 0;
    bool AutoStart = true;
    bool SoundPlay = true;
    LanguageStrings Strings;

    QString NowYear, NowMonth, NowDay, NowTime;
    QString AlarmText;
    int AlarmCount = 0;

    ::EventList EventList;
    QTreeView* ListView1 = nullptr;
    EventRows* Rows = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QTimer* Timer1 = nullptr;
    TTrayIcon* TrayIcon1 = nullptr;

    QMenu* MFile = nullptr;
    QAction *MLoad = nullptr, *MSave = nullptr, *MClear = nullptr, *MExit = nullptr;
    QMenu* MEvents = nullptr;
    QAction *MAdd = nullptr, *MEdit = nullptr, *MDelete = nullptr;
    QMenu* MOptions = nullptr;
    QAction* MSettings = nullptr;
    QMenu* MLanguage = nullptr;
    QAction *MLangEnglish = nullptr, *MLangRussian = nullptr;
    QMenu* MHelp = nullptr;
    QAction* MAbout = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction *PAdd = nullptr, *PRestore = nullptr, *PExit = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction *PMEdit = nullptr, *PMDelete = nullptr;

    [[nodiscard]] QString settingsFileName() const;
    [[nodiscard]] QString applicationTitle() const { return m_applicationTitle; }
    [[nodiscard]] QString defaultEventsFile() const { return AppDir + EventsFileName; }

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
    void markDone(int row);
    [[nodiscard]] ProgramSettings currentSettings() const;
    template <typename Step> bool guarded(Step&& step);
    void writeAll();

    TForm1Services m_services;
    QString m_applicationTitle;
    ClockTexts m_now;
    qint64 m_previousTickSecond = 0;
    bool m_unattended = false;
};
