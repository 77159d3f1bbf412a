// The main window's menus: the main menu, the tray menu and the list's pop-up menu.
#include "app/Dorvane1.h"

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

void TForm1::createMenus()
{
    QMenuBar* bar = menuBar();
    MFile = addMenu(bar, "MFile", QStringLiteral("&File"));
    MLoad = addItem(MFile, "MLoad", QStringLiteral("Load"));
    MSave = addItem(MFile, "MSave", QStringLiteral("Save"));
    MClear = addItem(MFile, "MClear", QStringLiteral("Clear"));
    MFile->addSeparator()->setObjectName(QStringLiteral("N1"));
    MExit = addItem(MFile, "MExit", QStringLiteral("E&xit"));

    MEvents = addMenu(bar, "MEvents", QStringLiteral("&Events"));
    MAdd = addItem(MEvents, "MAdd", QStringLiteral("Add"));
    MEdit = addItem(MEvents, "MEdit", QStringLiteral("Edit"));
    MDelete = addItem(MEvents, "MDelete", QStringLiteral("Delete"));

    MOptions = addMenu(bar, "MOptions", QStringLiteral("&Options"));
    MSettings = addItem(MOptions, "MSettings", QStringLiteral("Settings"));
    MLanguage = MOptions->addMenu(QStringLiteral("Language"));
    MLanguage->setObjectName(QStringLiteral("MLanguage"));
    MLangEnglish = addItem(MLanguage, "MLangEnglish", QStringLiteral("English"));
    MLangRussian = addItem(MLanguage, "MLangRussian", QStringLiteral("Russian"));
    MLangEnglish->setCheckable(true);
    MLangRussian->setCheckable(true);

    MHelp = addMenu(bar, "MHelp", QStringLiteral("Help"));
    MAbout = addItem(MHelp, "MAbout", QStringLiteral("About"));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PAdd = addItem(PopupMenu1, "PAdd", QStringLiteral("Add event"));
    PRestore = addItem(PopupMenu1, "PRestore", QStringLiteral("Restore"));
    PExit = addItem(PopupMenu1, "PExit", QStringLiteral("Exit"));

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    PMEdit = addItem(PopupMenu2, "PMEdit", QStringLiteral("Edit"));
    PMDelete = addItem(PopupMenu2, "PMDelete", QStringLiteral("Delete"));

    connect(MExit, &QAction::triggered, this, &QWidget::close);
    connect(PRestore, &QAction::triggered, this, &TForm1::PRestoreClick);
}
