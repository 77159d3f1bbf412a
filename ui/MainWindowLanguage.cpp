// Applying a language file to the main window, the dialogs and the reminder book's status words.
#include "core/ReminderBook.h"
#include "i18n/LanguageFile.h"
#include "platform/QtTranslations.h"
#include "ui/AboutDialog.h"
#include "ui/AlarmNotifications.h"
#include "ui/EventDialog.h"
#include "ui/EventTableModel.h"
#include "ui/LanguageTable.h"
#include "ui/MainWindow.h"
#include "ui/SettingsDialog.h"

#include <QAction>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTreeView>

namespace {

LanguageBinding bindHeader(const char* key, EventTableModel* model, int column)
{
    return {key, [model, column] { return model->headerText(column); },
            [model, column](const QString& text) { model->setHeaderText(column, text); }};
}

} // namespace

void MainWindow::applyLanguage(const QString& fileName)
{
    m_englishAction->setChecked(fileName == QStringLiteral("English.ini"));
    m_russianAction->setChecked(fileName == QStringLiteral("Russian.ini"));

    const LanguageFile file(fileName, m_book.folder().languageFolder);
    // Qt's own texts and the calendar follow: before the windows take the new texts, so that
    // those showing Qt's texts take them at once.
    m_services.qtTranslations.apply(file.locale());
    const QLocale locale(file.locale());
    setLocale(locale);
    // Dialogs and pop-ups are windows of their own, which a parent's locale does not reach.
    for (QWidget* window : findChildren<QWidget*>())
        if (window->isWindow())
            window->setLocale(locale);
    const char* title = "title";
    const char* text = "text";
    ::applyLanguage(
        file, {bindText("Form1->Caption", this, "windowTitle"),
               bindHeader("ListView1->Column[0]->Caption", m_model, EventTableModel::DateColumn),
               bindHeader("ListView1->Column[1]->Caption", m_model, EventTableModel::TimeColumn),
               bindHeader("ListView1->Column[2]->Caption", m_model, EventTableModel::TitleColumn),
               bindHeader("ListView1->Column[3]->Caption", m_model, EventTableModel::MessageColumn),
               bindHeader("ListView1->Column[4]->Caption", m_model, EventTableModel::StatusColumn),
               bindText("PAdd->Caption", m_trayAddAction, text),
               bindText("PRestore->Caption", m_trayRestoreAction, text),
               bindText("PExit->Caption", m_trayExitAction, text),
               bindText("MFile->Caption", m_fileMenu, title),
               bindText("MLoad->Caption", m_loadAction, text),
               bindText("MSave->Caption", m_saveAction, text),
               bindText("MClear->Caption", m_clearAction, text),
               bindText("MExit->Caption", m_exitAction, text),
               bindText("MEvents->Caption", m_eventsMenu, title),
               bindText("MAdd->Caption", m_addAction, text),
               bindText("MEdit->Caption", m_editAction, text),
               bindText("MDelete->Caption", m_deleteAction, text),
               bindText("MOptions->Caption", m_optionsMenu, title),
               bindText("MSettings->Caption", m_settingsAction, text),
               bindText("MLanguage->Caption", m_languageMenu, title),
               bindText("MLangEnglish->Caption", m_englishAction, text),
               bindText("MLangRussian->Caption", m_russianAction, text),
               bindText("MHelp->Caption", m_helpMenu, title),
               bindText("MAbout->Caption", m_aboutAction, text),
               bindText("PMEdit->Caption", m_listEditAction, text),
               bindText("PMDelete->Caption", m_listDeleteAction, text),
               bindText("OpenDialog1->Filter", m_loadFilter),
               bindText("SaveDialog1->Filter", m_saveFilter),
               bindText("StringActive", m_strings.active),
               bindText("StringDone", m_strings.done),
               bindText("StringEnterTitle", m_strings.enterTitle),
               bindText("StringEnterText", m_strings.enterText),
               bindText("StringReally", m_strings.confirmDelete),
               bindText("StringDelete", m_strings.deleteCaption),
               bindText("StringSelectFirst", m_strings.selectFirst),
               bindText("StringPassed", m_strings.passed),
               bindText("StringClearAll", m_confirmClear),
               bindText("MImportCalendar->Caption", m_importCalendarAction, text),
               bindText("MExportCalendar->Caption", m_exportCalendarAction, text),
               bindText("StringCalendarFiles", m_calendarFiles),
               bindText("StringImported", m_imported),
               bindText("StringExported", m_exported),
               bindText("StringFileKept", m_changedFileKept),
               bindText("MView->Caption", m_viewMenu, title),
               bindText("MSearch->Caption", m_searchAction, text),
               bindText("MHideDone->Caption", m_hideDoneAction, text),
               bindText("MFileOrder->Caption", m_fileOrderAction, text),
               bindText("EditSearch->TextHint", m_searchEdit, "placeholderText"),
               bindText("StringSnooze", m_snoozeButton),
               bindText("StringSnoozeMinutes", m_snoozeEntry)});
    m_settingsDialog->applyLanguage(file);
    m_aboutDialog->applyLanguage(file);
    m_addDialog->applyLanguage(file);
    m_editDialog->applyLanguage(file);
    m_model->setRepeatTexts(m_addDialog->repeatTexts());
    m_notifications->applyLanguage(file);
    m_book.setStatusWords(m_strings.active, m_strings.done);
    // A language without usable status words leaves the book its old ones: new and edited
    // events must take those, or they would never fire.
    m_strings.active = m_book.activeWord();
    m_strings.done = m_book.doneWord();
    // The status column must hold the new words; the layout otherwise stays as it is.
    ColumnLayout::Widths widths{};
    for (int c = 0; c < EventTableModel::ColumnCount; ++c)
        widths[static_cast<std::size_t>(c)] = m_listView->columnWidth(c);
    setColumnWidths(widths);
    // A status word change recolours every row.
    m_listView->viewport()->update();
}

void MainWindow::applyCurrentLanguage()
{
    applyLanguage(m_book.settings().languageName + QStringLiteral(".ini"));
}

void MainWindow::selectLanguage(const QString& name)
{
    // Written when chosen, as the Settings dialog's choices are, so that it holds even if the
    // program never reaches its shutdown.
    m_book.setLanguageName(name);
    applyCurrentLanguage();
}
