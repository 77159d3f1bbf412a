// Applying a language file to the main window and the language strings.
#include "app/Dorvane1.h"
#include "i18n/LanguageFile.h"

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

void TForm1::ApplyLanguage(const QString& FileName)
{
    MLangEnglish->setChecked(false);
    MLangRussian->setChecked(false);
    if (FileName == QStringLiteral("English.ini"))
        MLangEnglish->setChecked(true);
    if (FileName == QStringLiteral("Russian.ini"))
        MLangRussian->setChecked(true);

    const LanguageFile file(FileName);
    setWindowTitle(file.text("Form1->Caption", windowTitle()));
    static const char* const columnKeys[] = {
        "ListView1->Column[0]->Caption", "ListView1->Column[1]->Caption",
        "ListView1->Column[2]->Caption", "ListView1->Column[3]->Caption",
        "ListView1->Column[4]->Caption"};
    for (int c = 0; c < EventRows::ColumnCount; ++c)
        Rows->setHeaderText(c, file.text(columnKeys[c], Rows->headerText(c)));

    applyCaption(file, "PAdd->Caption", PAdd);
    applyCaption(file, "PRestore->Caption", PRestore);
    applyCaption(file, "PExit->Caption", PExit);
    applyCaption(file, "MFile->Caption", MFile);
    applyCaption(file, "MLoad->Caption", MLoad);
    applyCaption(file, "MSave->Caption", MSave);
    applyCaption(file, "MClear->Caption", MClear);
    applyCaption(file, "MExit->Caption", MExit);
    applyCaption(file, "MEvents->Caption", MEvents);
    applyCaption(file, "MAdd->Caption", MAdd);
    applyCaption(file, "MEdit->Caption", MEdit);
    applyCaption(file, "MDelete->Caption", MDelete);
    applyCaption(file, "MOptions->Caption", MOptions);
    applyCaption(file, "MSettings->Caption", MSettings);
    applyCaption(file, "MLanguage->Caption", MLanguage);
    applyCaption(file, "MLangEnglish->Caption", MLangEnglish);
    applyCaption(file, "MLangRussian->Caption", MLangRussian);
    applyCaption(file, "MHelp->Caption", MHelp);
    applyCaption(file, "MAbout->Caption", MAbout);
    applyCaption(file, "PMEdit->Caption", PMEdit);
    applyCaption(file, "PMDelete->Caption", PMDelete);

    file.apply("StringActive", Strings.StringActive);
    file.apply("StringDone", Strings.StringDone);
    file.apply("StringEnterTitle", Strings.StringEnterTitle);
    file.apply("StringEnterText", Strings.StringEnterText);
    file.apply("StringReally", Strings.StringReally);
    file.apply("StringDelete", Strings.StringDelete);
    file.apply("StringSelectFirst", Strings.StringSelectFirst);
    file.apply("StringPassed", Strings.StringPassed);
    // A status word change recolours every row.
    ListView1->viewport()->update();
}
