// The main window's menus: the main menu, the tray menu and the list's pop-up menu.
#include "core/ReminderBook.h"
#include "ui/MainWindow.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu* addMenu(QMenu* parent, const char* name, const QString& caption)
{
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QMenu* popupMenu(QWidget* parent, const char* name)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

} // namespace

void MainWindow::createMenus()
{
    QMenuBar* bar = menuBar();
    m_fileMenu = addMenu(bar, "fileMenu", QStringLiteral("&File"));
    m_loadAction = addItem(m_fileMenu, "loadAction", QStringLiteral("Load"));
    m_saveAction = addItem(m_fileMenu, "saveAction", QStringLiteral("Save"));
    m_clearAction = addItem(m_fileMenu, "clearAction", QStringLiteral("Clear"));
    m_fileMenu->addSeparator();
    m_importCalendarAction =
        addItem(m_fileMenu, "importCalendarAction", QStringLiteral("&Import calendar…"));
    m_exportCalendarAction =
        addItem(m_fileMenu, "exportCalendarAction", QStringLiteral("Ex&port calendar…"));
    m_fileMenu->addSeparator();
    m_exitAction = addItem(m_fileMenu, "exitAction", QStringLiteral("E&xit"));

    m_eventsMenu = addMenu(bar, "eventsMenu", QStringLiteral("&Events"));
    m_addAction = addItem(m_eventsMenu, "addAction", QStringLiteral("Add"));
    m_editAction = addItem(m_eventsMenu, "editAction", QStringLiteral("Edit"));
    m_deleteAction = addItem(m_eventsMenu, "deleteAction", QStringLiteral("Delete"));

    m_optionsMenu = addMenu(bar, "optionsMenu", QStringLiteral("&Options"));
    m_settingsAction = addItem(m_optionsMenu, "settingsAction", QStringLiteral("Settings"));
    m_languageMenu = addMenu(m_optionsMenu, "languageMenu", QStringLiteral("Language"));
    m_englishAction = addItem(m_languageMenu, "englishAction", QStringLiteral("English"));
    m_russianAction = addItem(m_languageMenu, "russianAction", QStringLiteral("Russian"));
    m_englishAction->setCheckable(true);
    m_russianAction->setCheckable(true);

    m_helpMenu = addMenu(bar, "helpMenu", QStringLiteral("Help"));
    m_aboutAction = addItem(m_helpMenu, "aboutAction", QStringLiteral("About"));

    m_trayMenu = popupMenu(this, "trayMenu");
    m_trayAddAction = addItem(m_trayMenu, "trayAddAction", QStringLiteral("Add event"));
    m_trayRestoreAction = addItem(m_trayMenu, "trayRestoreAction", QStringLiteral("Restore"));
    m_trayExitAction = addItem(m_trayMenu, "trayExitAction", QStringLiteral("Exit"));

    m_listMenu = popupMenu(this, "listMenu");
    m_listEditAction = addItem(m_listMenu, "listEditAction", QStringLiteral("Edit"));
    m_listDeleteAction = addItem(m_listMenu, "listDeleteAction", QStringLiteral("Delete"));

    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);
    connect(m_trayRestoreAction, &QAction::triggered, this, &MainWindow::restoreFromTray);
    connect(m_loadAction, &QAction::triggered, this, &MainWindow::loadFromFile);
    connect(m_saveAction, &QAction::triggered, this, &MainWindow::saveToFile);
    connect(m_clearAction, &QAction::triggered, this, &MainWindow::clearList);
    connect(m_importCalendarAction, &QAction::triggered, this, &MainWindow::importCalendar);
    connect(m_exportCalendarAction, &QAction::triggered, this, &MainWindow::exportCalendar);
    connect(m_trayExitAction, &QAction::triggered, this, &MainWindow::exitFromTray);
    connect(m_settingsAction, &QAction::triggered, this, &MainWindow::showSettings);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(m_englishAction, &QAction::triggered, this,
            [this] { selectLanguage(QStringLiteral("English")); });
    connect(m_russianAction, &QAction::triggered, this,
            [this] { selectLanguage(QStringLiteral("Russian")); });

    // Keys for the commands, each shown beside its item. Enter in the list edits; the pop-up's
    // items show the list's keys while they take them only when it is open.
    m_loadAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_addAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_Insert)});
    m_editAction->setShortcuts(
        {QKeySequence(Qt::Key_F2), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    m_deleteAction->setShortcut(QKeySequence(Qt::Key_Delete));
    m_listEditAction->setShortcut(QKeySequence(Qt::Key_F2));
    m_listEditAction->setShortcutContext(Qt::WidgetShortcut);
    m_listDeleteAction->setShortcut(QKeySequence(Qt::Key_Delete));
    m_listDeleteAction->setShortcutContext(Qt::WidgetShortcut);
}
