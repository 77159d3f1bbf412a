#include "core/EventsFile.h"
#include "support/AppFakes.h"

#include <QAction>
#include <QDir>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

class MainWindowFileTest : public ::testing::Test, protected AppFixture
{
protected:
    void SetUp() override
    {
        form = makeForm();
        form->startUp();
        form->book().add(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"mine"_s, u"Active"_s));
    }
    void trigger(const char* name) { form->findChild<QAction*>(QLatin1String(name))->trigger(); }
    TestForm form;
};

TEST_F(MainWindowFileTest, SaveAndLoadAChosenFile)
{
    fileDialogs.answers = {path(u"other.ini"_s)};
    trigger("saveAction");
    EXPECT_EQ(fileDialogs.calls[0].directory, u"events.ini"_s); // the first proposal
    EXPECT_EQ(fileDialogs.calls[0].filter, u"Events Files (*.ini)"_s);
    EXPECT_EQ(EventsFile::load(path(u"other.ini"_s), std::nullopt, {})[0].title, u"mine"_s);
    trigger("saveAction"); // cancelled: the last name is proposed, nothing written
    EXPECT_EQ(fileDialogs.calls[1].directory, path(u"other.ini"_s));

    const QByteArray saved = readFile(u"events.ini"_s);
    trigger("clearAction");
    boxes.calls.clear(); // its question
    EXPECT_TRUE(form->book().events().empty());
    EXPECT_EQ(form->model().count(), 0);
    EXPECT_EQ(readFile(u"events.ini"_s), saved); // Clear writes nothing

    fileDialogs.answers = {path(u"other.ini"_s)};
    trigger("loadAction");
    ASSERT_EQ(form->model().count(), 1);
    EXPECT_EQ(form->book().events()[0].title, u"mine"_s);
    EXPECT_FALSE(fileDialogs.calls[2].mustExist);
    EXPECT_TRUE(boxes.calls.empty()); // no passed-events check after a Load
}

TEST_F(MainWindowFileTest, ClearAsksFirstAndCancelChangesNothing)
{
    form->book().add(makeEvent(u"01.01.2030"_s, u"11:00:00"_s, u"two"_s, u"Active"_s));
    boxes.answers = {false, true};
    trigger("clearAction");
    EXPECT_EQ(form->model().count(), 2);
    trigger("clearAction");
    EXPECT_EQ(form->model().count(), 0);
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].kind, FakeMessageBoxes::Kind::OkCancel);
    EXPECT_EQ(boxes.calls[0].text, u"Remove all 2 events from the list?"_s);
    trigger("clearAction"); // nothing left to lose: nothing to ask
    EXPECT_EQ(boxes.calls.size(), 2u);

    form->selectLanguage(u"Russian"_s);
    form->book().add(makeEvent(u"01.01.2030"_s, u"11:00:00"_s, u"three"_s, u"Active"_s));
    boxes.answers = {false};
    trigger("clearAction");
    EXPECT_EQ(boxes.calls.back().text, u"Удалить из списка все события (1)?"_s);
}

TEST_F(MainWindowFileTest, AnEventsFileChangedElsewhereIsKeptAndTheStatusBarSaysSo)
{
    writeFile(u"events.ini"_s, "[Event0]\nTitle=from an editor\n");
    form->book().add(makeEvent(u"01.01.2030"_s, u"11:00:00"_s, u"two"_s, u"Active"_s));
    const QStringList kept =
        QDir(dir.path()).entryList({u"events.ini.*.bak"_s}, QDir::Files | QDir::Hidden);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(form->statusBar()->currentMessage(),
              u"events.ini was changed elsewhere; kept as "_s + kept[0]);
    EXPECT_TRUE(boxes.calls.empty());
}

// The menu's calendar files: an export imported into an empty list gives the event back, once;
// a damaged file adds nothing and its error names the line.
TEST_F(MainWindowFileTest, CalendarExportImportsBackOnceAndADamagedFileAddsNothing)
{
    const QString ics = path(u"out.ics"_s);
    fileDialogs.answers = {ics};
    trigger("exportCalendarAction");
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, u"1 events exported to "_s + ics + u"."_s);

    boxes.answers = {true};
    trigger("clearAction");
    for (const char* told :
         {"out.ics: 1 added, 0 skipped as already present, 0 simplified to their "
          "next occurrence.",
          "out.ics: 0 added, 1 skipped as already present, 0 simplified to their "
          "next occurrence."}) {
        boxes.calls.clear();
        fileDialogs.answers = {ics};
        trigger("importCalendarAction");
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].text, QString::fromUtf8(told));
        EXPECT_TRUE(fileDialogs.calls.back().mustExist);
    }
    ASSERT_EQ(form->book().events().size(), 1u);
    const Event& back = form->book().events()[0];
    EXPECT_EQ(back.title + u' ' + back.date + u' ' + back.time, u"mine 01.01.2030 10:00:00"_s);

    writeFile(u"bad.ics"_s, "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nno colon here\r\n");
    boxes.calls.clear();
    fileDialogs.answers = {path(u"bad.ics"_s)};
    trigger("importCalendarAction");
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].kind, FakeMessageBoxes::Kind::Error);
    EXPECT_TRUE(boxes.calls[0].text.contains(u"line"_s)) << boxes.calls[0].text.toStdString();
    EXPECT_EQ(form->book().events().size(), 1u);
}

TEST_F(MainWindowFileTest, AFailedLoadOrSaveIsShownAndChangesNothing)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.ini"_s));
    fileDialogs.answers = {path(u"folder.ini"_s), path(u"folder.ini"_s)};
    trigger("loadAction");
    trigger("saveAction");
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_TRUE(boxes.calls[0].text.startsWith(u"Cannot read "_s));
    EXPECT_EQ(boxes.calls[1].text,
              u"Unable to write to "_s + path(u"folder.ini"_s) + u": Is a directory"_s);
    EXPECT_EQ(form->book().events().size(), 1u);
}

TEST_F(MainWindowFileTest, TrayExitWritesEverythingAndEndsEvenWhenAWriteFails)
{
    bool ended = false;
    QObject::connect(form.window.get(), &MainWindow::exitRequested, [&] { ended = true; });
    trigger("trayExitAction");
    EXPECT_TRUE(ended);
    EXPECT_EQ(EventsFile::load(path(u"events.ini"_s), std::nullopt, {})[0].title, u"mine"_s);
    EXPECT_TRUE(readFile(u"dorvane.ini"_s).contains("Events=1\n"));

    auto second = makeForm();
    second->startUp();
    QFile::remove(path(u"dorvane.ini"_s));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"dorvane.ini"_s));
    ended = false;
    QObject::connect(second.window.get(), &MainWindow::exitRequested, [&] { ended = true; });
    second->findChild<QAction*>(u"trayExitAction"_s)->trigger();
    EXPECT_TRUE(ended);
    EXPECT_EQ(boxes.calls.back().kind, FakeMessageBoxes::Kind::Error);
}

} // namespace
