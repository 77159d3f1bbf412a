// Applying a language file to the main window and the language strings.
#include "core/StatusWords.h"
#include "i18n/LanguageFile.h"
#include "ui/AboutDialog.h"
#include "ui/EventDialog.h"
#include "ui/MainWindow.h"
#include "ui/SettingsDialog.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

namespace {

void applyCaption(const LanguageFile& file, const char* key, QAction* action)
{
    action->setText(file.text(key, action->text()));
}

void applyCaption(const LanguageFile& file, const char* key, QMenu* menu)
{
    menu->setTitle(file.text(key, menu->title()));
}

} // namespace

void MainWindow::applyLanguage(const QString& fileName)
{
    m_englishAction->setChecked(false);
    m_russianAction->setChecked(false);
    if (fileName == QStringLiteral("English.ini"))
        m_englishAction->setChecked(true);
    if (fileName == QStringLiteral("Russian.ini"))
        m_russianAction->setChecked(true);

    const LanguageFile file(fileName, m_appDir);
    setWindowTitle(file.text("Form1->Caption", windowTitle()));
    static const char* const columnKeys[] = {
        "ListView1->Column[0]->Caption", "ListView1->Column[1]->Caption",
        "ListView1->Column[2]->Caption", "ListView1->Column[3]->Caption",
        "ListView1->Column[4]->Caption"};
    for (int c = 0; c < EventTableModel::ColumnCount; ++c)
        m_model->setHeaderText(c, file.text(columnKeys[c], m_model->headerText(c)));

    applyCaption(file, "PAdd->Caption", m_trayAddAction);
    applyCaption(file, "PRestore->Caption", m_trayRestoreAction);
    applyCaption(file, "PExit->Caption", m_trayExitAction);
    applyCaption(file, "MFile->Caption", m_fileMenu);
    applyCaption(file, "MLoad->Caption", m_loadAction);
    applyCaption(file, "MSave->Caption", m_saveAction);
    applyCaption(file, "MClear->Caption", m_clearAction);
    applyCaption(file, "MExit->Caption", m_exitAction);
    applyCaption(file, "MEvents->Caption", m_eventsMenu);
    applyCaption(file, "MAdd->Caption", m_addAction);
    applyCaption(file, "MEdit->Caption", m_editAction);
    applyCaption(file, "MDelete->Caption", m_deleteAction);
    applyCaption(file, "MOptions->Caption", m_optionsMenu);
    applyCaption(file, "MSettings->Caption", m_settingsAction);
    applyCaption(file, "MLanguage->Caption", m_languageMenu);
    applyCaption(file, "MLangEnglish->Caption", m_englishAction);
    applyCaption(file, "MLangRussian->Caption", m_russianAction);
    applyCaption(file, "MHelp->Caption", m_helpMenu);
    applyCaption(file, "MAbout->Caption", m_aboutAction);
    applyCaption(file, "PMEdit->Caption", m_listEditAction);
    applyCaption(file, "PMDelete->Caption", m_listDeleteAction);
    file.apply("OpenDialog1->Filter", m_loadFilter);
    file.apply("SaveDialog1->Filter", m_saveFilter);

    const LanguageStrings before = m_strings;
    file.apply("StringActive", m_strings.active);
    file.apply("StringDone", m_strings.done);
    file.apply("StringEnterTitle", m_strings.enterTitle);
    file.apply("StringEnterText", m_strings.enterText);
    file.apply("StringReally", m_strings.confirmDelete);
    file.apply("StringDelete", m_strings.deleteCaption);
    file.apply("StringSelectFirst", m_strings.selectFirst);
    file.apply("StringPassed", m_strings.passed);
    m_settingsDialog->applyLanguage(file);
    m_aboutDialog->applyLanguage(file);
    m_addDialog->applyLanguage(file);
    m_editDialog->applyLanguage(file);
    translateStatuses(before);
    // The status column must hold the new words; the layout otherwise stays as it is.
    ColumnLayout::Widths widths{};
    for (int c = 0; c < EventTableModel::ColumnCount; ++c)
        widths[static_cast<std::size_t>(c)] = m_listView->columnWidth(c);
    setColumnWidths(widths);
    // A status word change recolours every row.
    m_listView->viewport()->update();
}

void MainWindow::translateStatuses(const LanguageStrings& before)
{
    bool changed = false;
    for (std::size_t i = 0; i < m_events.size(); ++i) {
        const QString status = StatusWords::translated(
            m_events[i].status, before.active, before.done, m_strings.active, m_strings.done);
        if (status == m_events[i].status)
            continue;
        m_model->setStatus(static_cast<int>(i), status);
        changed = true;
    }
    // Saved at once: the file must not keep words that no longer fire.
    if (changed)
        saveEventsAndSettings();
}

void MainWindow::selectLanguage(const QString& name)
{
    m_languageName = name;
    applyLanguage(m_languageName + QStringLiteral(".ini"));
    // Written when chosen, as the Settings dialog's choices are, so that it holds even if the
    // program never reaches its shutdown.
    saveSettingsNow();
}
