// The main window's menus: the main menu, the tray menu and the list's pop-up menu.
#include "ui/MainWindow.h"

#include <QMenu>
#include <QMenuBar>

namespace {

QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

} // namespace

void MainWindow::createMenus()
{
    QMenuBar* bar = menuBar();
    m_fileMenu = addMenu(bar, "MFile", QStringLiteral("&File"));
    m_loadAction = addItem(m_fileMenu, "MLoad", QStringLiteral("Load"));
    m_saveAction = addItem(m_fileMenu, "MSave", QStringLiteral("Save"));
    m_clearAction = addItem(m_fileMenu, "MClear", QStringLiteral("Clear"));
    m_fileMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    m_exitAction = addItem(m_fileMenu, "MExit", QStringLiteral("E&xit"));

    m_eventsMenu = addMenu(bar, "MEvents", QStringLiteral("&Events"));
    m_addAction = addItem(m_eventsMenu, "MAdd", QStringLiteral("Add"));
    m_editAction = addItem(m_eventsMenu, "MEdit", QStringLiteral("Edit"));
    m_deleteAction = addItem(m_eventsMenu, "MDelete", QStringLiteral("Delete"));

    m_optionsMenu = addMenu(bar, "MOptions", QStringLiteral("&Options"));
    m_settingsAction = addItem(m_optionsMenu, "MSettings", QStringLiteral("Settings"));
    m_languageMenu = m_optionsMenu->addMenu(QStringLiteral("Language"));
    m_languageMenu->setObjectName(QStringLiteral("MLanguage"));
    m_englishAction = addItem(m_languageMenu, "MLangEnglish", QStringLiteral("English"));
    m_russianAction = addItem(m_languageMenu, "MLangRussian", QStringLiteral("Russian"));
    m_englishAction->setCheckable(true);
    m_russianAction->setCheckable(true);

    m_helpMenu = addMenu(bar, "MHelp", QStringLiteral("Help"));
    m_aboutAction = addItem(m_helpMenu, "MAbout", QStringLiteral("About"));

    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_trayAddAction = addItem(m_trayMenu, "PAdd", QStringLiteral("Add event"));
    m_trayRestoreAction = addItem(m_trayMenu, "PRestore", QStringLiteral("Restore"));
    m_trayExitAction = addItem(m_trayMenu, "PExit", QStringLiteral("Exit"));

    m_listMenu = new QMenu(this);
    m_listMenu->setObjectName(QStringLiteral("PopupMenu2"));
    m_listEditAction = addItem(m_listMenu, "PMEdit", QStringLiteral("Edit"));
    m_listDeleteAction = addItem(m_listMenu, "PMDelete", QStringLiteral("Delete"));

    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);
    connect(m_trayRestoreAction, &QAction::triggered, this, &MainWindow::restoreFromTray);
    connect(m_loadAction, &QAction::triggered, this, &MainWindow::loadFromFile);
    connect(m_saveAction, &QAction::triggered, this, &MainWindow::saveToFile);
    connect(m_clearAction, &QAction::triggered, this, &MainWindow::clearEvents);
    connect(m_trayExitAction, &QAction::triggered, this, &MainWindow::exitFromTray);
    connect(m_settingsAction, &QAction::triggered, this, &MainWindow::showSettings);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(m_englishAction, &QAction::triggered, this,
            [this] { selectLanguage(QStringLiteral("English")); });
    connect(m_russianAction, &QAction::triggered, this,
            [this] { selectLanguage(QStringLiteral("Russian")); });
}
