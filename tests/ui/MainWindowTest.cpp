#include "core/EventsFile.h"
#include "support/AppFakes.h"
#include "support/DarkTheme.h"
#include "tray/TrayIcon.h"
#include "ui/ColumnLayout.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDialog>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>
#include <numeric>
#include <sys/stat.h>

namespace {

using Kind = FakeMessageBoxes::Kind;

class MainWindowTest : public ::testing::Test, protected AppFixture
{
protected:
    void saveEvents(const EventList& events, int count)
    {
        EventsFile::save(path(u"events.ini"_s), events);
        writeFile(u"dorvane.ini"_s, u"[Options]\nEvents=%1\nAuto Start=0\n"_s.arg(count).toUtf8());
    }
};

TEST_F(MainWindowTest, FirstStartWritesTheAutostartEntry)
{
    QFile::remove(path(u"dorvane.ini"_s));
    auto form = makeForm();
    form->startUp();
    EXPECT_EQ(form->book().settings().languageName, u"English"_s);
    EXPECT_TRUE(form->book().events().empty());
    EXPECT_EQ(form->strings().active, u"Active"_s);
    EXPECT_EQ(autoStart.log, QStringList{u"enable:Dorvane 1.6:"_s + exe()});
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(form->book().folder().settingsFile, path(u"dorvane.ini"_s));
    EXPECT_EQ(form->book().folder().defaultSound, dir.path() + u"/sounds/alarm.wav"_s);
}

TEST_F(MainWindowTest, StartUpFillsTheViewAndReportsPassedEvents)
{
    EventList events;
    events.append(makeEvent(u"07.12.2026"_s, u"09:00:00"_s, u"yesterday"_s, u"Active"_s));
    events.append(makeEvent(u"08.12.2026"_s, u"13:00:00"_s, u"later"_s, u"Active"_s));
    events.append(makeEvent(u"08.12.2026"_s, u"11:59:59"_s, u"earlier"_s, u"Active"_s));
    events.append(makeEvent(u"01.01.2020"_s, u"10:00:00"_s, u"done"_s, u"Done"_s));
    events.append(makeEvent(u"01.01.2020"_s, u"00:00:05"_s, u"countdown"_s, u"Active"_s, true));
    saveEvents(events, 5);

    auto form = makeForm();
    form->startUp();
    ASSERT_EQ(form->model().count(), 5);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].kind, Kind::Message);
    EXPECT_EQ(boxes.calls[0].caption, u"Dorvane 1.6"_s);
    EXPECT_EQ(boxes.calls[0].text,
              form->strings().passed + QStringLiteral("\r\r07.12.2026 - 09:00:00 - yesterday\r"
                                                      "08.12.2026 - 11:59:59 - earlier\r"));
    const QStringList expected{u"Done"_s, u"Active"_s, u"Done"_s, u"Done"_s, u"Active"_s};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(form->model().cell(i, EventTableModel::StatusColumn), expected[i]) << i;
        EXPECT_EQ(form->book().events()[static_cast<std::size_t>(i)].status, expected[i]) << i;
    }
    // The change reached the files at once: a crash now cannot bring the events back.
    const EventList onDisk = EventsFile::load(path(u"events.ini"_s), 5, {});
    EXPECT_EQ(onDisk[0].status, u"Done"_s);
}

TEST_F(MainWindowTest, AutostartErrorAtStartUpIsShownAndTheAlarmsGoOn)
{
    EventList events;
    events.append(makeEvent(u"01.01.2020"_s, u"10:00:00"_s, u"old"_s, u"Active"_s));
    saveEvents(events, 1);
    writeFile(u"dorvane.ini"_s, "[Options]\nEvents=1\n");
    autoStart.fail = true;

    auto form = makeForm();
    form->startUp();
    EXPECT_EQ(form->model().count(), 1);
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].kind, Kind::Error);
    EXPECT_EQ(boxes.calls[0].text, u"Failed to set data for 'Dorvane 1.6'"_s);
    EXPECT_EQ(boxes.calls[1].kind, Kind::Message); // the passed event
}

TEST_F(MainWindowTest, AProgramNoLoginEntryCanNameIsToldOnceAndNothingStops)
{
    saveEvents({}, 0);
    writeFile(u"dorvane.ini"_s, "[Options]\nAuto Start=1\n");
    autoStartUnavailable = u"not UTF-8"_s;

    auto form = makeForm();
    form->startUp();
    form->book().add(makeEvent(u"01.01.2099"_s, u"10:00:00"_s, u"kept"_s, u"Active"_s));
    EXPECT_TRUE(form->shutDown());
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].kind, Kind::Error);
    EXPECT_EQ(boxes.calls[0].text, u"not UTF-8"_s);
    EXPECT_TRUE(autoStart.log.isEmpty());
    EXPECT_EQ(EventsFile::load(path(u"events.ini"_s), std::nullopt, {}).size(), 1u);
}

// Whatever the settings say, a start and a shutdown never take events away from the file.
TEST_F(MainWindowTest, TheSettingsCountNeverErasesEvents)
{
    EventList five;
    for (int i = 0; i < 5; ++i)
        five.append(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"e%1"_s.arg(i), u"Active"_s));
    const struct
    {
        const char* settings; // nullptr: no settings file
        int loaded;
    } cases[] = {{nullptr, 5},
                 {"[Options]\nAuto Start=0\n", 5},
                 {"[Options]\nEvents=-5\n", 5},
                 {"[Options]\nEvents=abc\n", 5},
                 {"[Options]\nEvents=99999999999\n", 5},
                 {"[Options]\nEvents=0\n", 0},
                 {"[Options]\nEvents=2\n", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings ? c.settings : "none");
        EventsFile::save(path(u"events.ini"_s), five);
        const QByteArray before = readFile(u"events.ini"_s);
        QFile::remove(path(u"dorvane.ini"_s));
        if (c.settings)
            writeFile(u"dorvane.ini"_s, c.settings);
        auto form = makeForm();
        form->startUp();
        EXPECT_EQ(form->book().events().size(), static_cast<std::size_t>(c.loaded));
        ASSERT_TRUE(form->shutDown());
        EXPECT_EQ(readFile(u"events.ini"_s), before);
        EXPECT_EQ(EventsFile::load(path(u"events.ini"_s), std::nullopt, {}).size(), 5u);
    }
}

TEST_F(MainWindowTest, AnUnreadableEventsFileIsToldAndNeverWritten)
{
    writeFile(u"dorvane.ini"_s, "[Options]\nEvents=3\nAuto Start=0\n");
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"events.ini"_s));
    auto form = makeForm();
    form->startUp();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text,
              u"Cannot read "_s + path(u"events.ini"_s) + u": Is a directory"_s);

    form->book().add(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"new"_s, u"Active"_s));
    form->book().save();
    ASSERT_TRUE(form->shutDown()); // the skipped save is told once, not again at shutdown
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_TRUE(boxes.calls[1].text.startsWith(u"The events were not saved: "_s));
    EXPECT_TRUE(QFileInfo(path(u"events.ini"_s)).isDir());
    EXPECT_TRUE(readFile(u"dorvane.ini"_s).contains("Events=3\n"));
}

TEST_F(MainWindowTest, ShutdownWritesSettingsAutostartAndEventsInOrder)
{
    saveEvents(EventList(), 0);
    auto form = makeForm();
    form->startUp();
    form->book().add(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"new"_s, u"Active"_s));
    form->selectLanguage(u"Russian"_s);
    autoStart.log.clear();
    ASSERT_TRUE(form->shutDown());
    EXPECT_EQ(autoStart.log, QStringList{u"disable:Dorvane 1.6"_s});
    EXPECT_EQ(readFile(u"dorvane.ini"_s),
              QByteArray(
                  "[Options]\nEvents=1\nAuto Start=0\nLanguage=Russian\nSound Play=1\nNotify=1\n"));
    EXPECT_EQ(EventsFile::load(path(u"events.ini"_s), 1, {})[0].title, u"new"_s);
}

TEST_F(MainWindowTest, FailedSettingsWriteStopsTheShutdownAndKeepsTheWindow)
{
    saveEvents(EventList(), 0);
    auto form = makeForm();
    form->startUp();
    form->show();
    form->book().add(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"new"_s, u"Active"_s));
    const QByteArray eventsBefore = readFile(u"events.ini"_s);
    // A folder in the settings file's place makes the write fail, also for root.
    QFile::remove(path(u"dorvane.ini"_s));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"dorvane.ini"_s));
    autoStart.log.clear();

    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].kind, Kind::Error);
    EXPECT_EQ(boxes.calls[0].text,
              u"Unable to write to "_s + path(u"dorvane.ini"_s) + u": Is a directory"_s);
    EXPECT_TRUE(autoStart.log.isEmpty());
    EXPECT_EQ(readFile(u"events.ini"_s), eventsBefore);
}

TEST_F(MainWindowTest, UnattendedShutdownRunsEveryStepOnceWithoutBoxes)
{
    saveEvents(EventList(), 0);
    writeFile(u"dorvane.ini"_s, "[Options]\nAuto Start=1\n");
    makeForm()->shutdownUnattended(); // ended before loading: nothing to write
    EXPECT_EQ(readFile(u"dorvane.ini"_s), QByteArray("[Options]\nAuto Start=1\n"));
    EXPECT_TRUE(autoStart.log.isEmpty());

    auto form = makeForm();
    form->startUp();
    form->show();
    form->book().add(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"new"_s, u"Active"_s));
    QFile::remove(path(u"dorvane.ini"_s));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"dorvane.ini"_s));
    autoStart.fail = true;
    autoStart.log.clear();
    static QStringList critical;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (type == QtCriticalMsg)
                critical << QLatin1String(context.category) + u": "_s + text;
        });
    form->shutdownUnattended();
    qInstallMessageHandler(previous);
    const QString settingsFailure =
        u"dorvane.files: Unable to write to "_s + path(u"dorvane.ini"_s) + u": Is a directory"_s;
    EXPECT_EQ(critical, (QStringList{settingsFailure,
                                     u"dorvane.files: Failed to set data for 'Dorvane 1.6'"_s}));
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(EventsFile::load(path(u"events.ini"_s), 1, {})[0].title, u"new"_s);
    EXPECT_EQ(autoStart.log.size(), 1); // tried after the failed settings write

    // Whatever ends the program afterwards writes nothing more and asks nothing.
    ASSERT_TRUE(QFile::remove(path(u"events.ini"_s)));
    form->shutdownUnattended();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(QFile::exists(path(u"events.ini"_s)));
    EXPECT_EQ(autoStart.log.size(), 1);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(MainWindowTest, RowsAreColouredByStatusAndTipsSpellOutTheRow)
{
    saveEvents(EventList(), 0);
    auto form = makeForm();
    form->startUp();
    form->book().add(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"a"_s, u"Active"_s));
    form->book().add(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"b"_s, u"Done"_s));
    Event other = makeEvent(u"01.01.2030"_s, {}, u"c"_s, u"Активно"_s);
    other.message.clear();
    form->book().add(other);
    form->book().add(makeEvent({}, {}, u"d"_s, {}));

    EXPECT_EQ(form->model().rowColour(0), QColor(0, 128, 0));
    EXPECT_EQ(form->model().rowColour(1), QColor(255, 0, 0));
    EXPECT_FALSE(form->model().rowColour(2).isValid());
    EXPECT_FALSE(form->model().rowColour(3).isValid());
    // Without a language both words are empty: an empty status is drawn red.
    auto bare = makeForm();
    bare->book().add(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"d"_s, {}));
    EXPECT_EQ(bare->model().rowColour(0), QColor(255, 0, 0));

    EXPECT_EQ(form->model().rowTip(2), QStringLiteral("Date: 01.01.2030\rTime: \rTitle: c\r"
                                                      "Description: \rStatus: Активно"));
    form->applyLanguage(u"Russian.ini"_s);
    EXPECT_TRUE(form->model().rowTip(0).startsWith(u"Дата: 01.01.2030\rВремя: "_s));
    EXPECT_TRUE(form->findChild<QAction*>(u"russianAction"_s)->isChecked());
    EXPECT_FALSE(form->findChild<QAction*>(u"englishAction"_s)->isChecked());
    EXPECT_EQ(form->model().rowColour(2), QColor(0, 128, 0));
}

TEST_F(MainWindowTest, ColumnsFollowTheListWidthAfterTheResize)
{
    struct Case
    {
        int width;
        ColumnLayout::Widths expected;
    };
    for (const Case& c : {Case{520, {70, 55, 102, 213, 55}}, Case{720, {70, 55, 162, 353, 55}},
                          Case{180, {70, 55, 0, -25, 55}}, Case{100, {70, 55, -24, -81, 55}}})
        EXPECT_EQ(ColumnLayout::forListWidth(c.width), c.expected) << c.width;

    auto form = makeForm();
    form->show();
    form->resize(form->width() + 200, form->height());
    QCoreApplication::processEvents();
    const ColumnLayout::Widths expected = ColumnLayout::forListWidth(form->listView()->width());
    EXPECT_EQ(form->listView()->header()->sectionSize(2), expected[2]);
    // Columns widened for the face are paid for by the description: the total stays.
    int total = 0;
    for (int c = 0; c < EventTableModel::ColumnCount; ++c)
        total += form->listView()->header()->sectionSize(c);
    EXPECT_EQ(total, std::accumulate(expected.begin(), expected.end(), 0));
}

// Qt's own texts and the calendar follow the chosen language, as the language file names it.
TEST_F(MainWindowTest, QtsOwnTextsAndTheCalendarFollowTheLanguage)
{
    auto form = makeForm();
    form->startUp();
    const struct
    {
        const char* language;
        QString locale;
        QLocale::Language calendar;
    } cases[] = {{"Russian", u"ru"_s, QLocale::Russian}, {"English", u"en"_s, QLocale::English}};
    for (const auto& c : cases) {
        form->selectLanguage(QString::fromLatin1(c.language));
        ASSERT_FALSE(qtTranslations.applied.isEmpty()) << c.language;
        EXPECT_EQ(qtTranslations.applied.last(), c.locale) << c.language;
        for (const QDateEdit* picker : form->findChildren<QDateEdit*>())
            EXPECT_EQ(picker->calendarWidget()->locale().language(), c.calendar) << c.language;
    }
}

// The tray's tip keeps saying whose it is, and a long notice is cut rather than lost.
TEST_F(MainWindowTest, NoticeReachesTheTrayTipAfterTheProgramName)
{
    auto form = makeForm();
    const QString longNotice = u"No audio output was found: alarm sounds cannot be heard."_s;
    const struct
    {
        QString notice;
        QString hint;
    } cases[] = {{u"Saved"_s, u"Dorvane 1.6 \u2014 Saved"_s},
                 {longNotice, u"Dorvane 1.6 \u2014 "_s + longNotice.left(48) + u"\u2026"_s}};
    for (const auto& c : cases) {
        form->showNotice(c.notice);
        EXPECT_EQ(form->findChild<TrayIcon*>()->hint(), c.hint) << qPrintable(c.notice);
        EXPECT_LT(c.hint.size(), TrayIcon::hintLimit);
    }
}

// On a dark desktop theme the list keeps the theme's base, and the statuses' colours read on it.
TEST_F(MainWindowTest, StatusColoursStayReadableOnADarkTheme)
{
    const DarkTheme theme;
    EventList events;
    events.append(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"Dentist"_s, u"Active"_s));
    events.append(makeEvent(u"01.01.2020"_s, u"10:00:00"_s, u"Taxes"_s, u"Done"_s));
    saveEvents(events, 2);
    auto form = makeForm();
    form->startUp();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.window.get()));
    const QColor base = form->listView()->palette().color(QPalette::Base);
    EXPECT_EQ(base, QApplication::palette().color(QPalette::Base));
    for (int row = 0; row < 2; ++row)
        EXPECT_GE(contrastRatio(form->model().rowColour(row), base), 3.0) << row;
    // Kept for a look at the window in the dark theme.
    const QString shots = QCoreApplication::applicationDirPath() + u"/e2e-shots"_s;
    QDir().mkpath(shots);
    EXPECT_TRUE(form->grab().save(shots + u"/dark-main-window.png"_s));
}

} // namespace

// Switching language carries the status words along, so no alarm is silenced; other statuses
// stay, and the change is on disk at once.
TEST_F(MainWindowTest, StatusesFollowTheLanguageAndTheColumnFitsThem)
{
    EventList events;
    events.append(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"a"_s, u"Active"_s));
    events.append(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"d"_s, u"Done"_s));
    events.append(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"i"_s, u"Paused"_s));
    saveEvents(events, 3);
    auto form = makeForm();
    form->startUp();

    form->selectLanguage(u"Russian"_s);
    // Fitting the status words leaves the other columns as they were laid out.
    EXPECT_GT(form->listView()->header()->sectionSize(EventTableModel::TitleColumn), 50);
    EXPECT_GT(form->listView()->header()->sectionSize(EventTableModel::MessageColumn), 50);
    const QStringList russian{u"Активно"_s, u"Выполнено"_s, u"Paused"_s};
    const EventList onDisk = EventsFile::load(path(u"events.ini"_s), std::nullopt, {});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form->model().cell(i, EventTableModel::StatusColumn), russian[i]);
        EXPECT_EQ(onDisk[static_cast<std::size_t>(i)].status, russian[i]);
    }
    const QFontMetrics metrics(form->listView()->font());
    EXPECT_GT(form->listView()->header()->sectionSize(EventTableModel::StatusColumn),
              metrics.horizontalAdvance(u"Выполнено"_s));

    form->selectLanguage(u"English"_s);
    EXPECT_EQ(form->book().events()[0].status, u"Active"_s);
    EXPECT_EQ(form->book().events()[1].status, u"Done"_s);
    EXPECT_EQ(form->book().events()[2].status, u"Paused"_s);
}

TEST_F(MainWindowTest, SettingsTakeEffectWhenTheyAreClicked)
{
    writeFile(u"dorvane.ini"_s, "[Options]\nAuto Start=1\n");
    auto form = makeForm();
    form->startUp();
    autoStart.log.clear();
    QByteArray afterAutoStart;
    QTimer::singleShot(0, form.window.get(), [&] {
        form->findChild<QCheckBox*>(u"autoStartCheckBox"_s)->click();
        afterAutoStart = readFile(u"dorvane.ini"_s);
        form->findChild<QCheckBox*>(u"playSoundCheckBox"_s)->click();
        form->findChild<QCheckBox*>(u"notifyCheckBox"_s)->click();
        form->findChild<QDialog*>(u"settingsDialog"_s)->close();
    });
    form->findChild<QAction*>(u"settingsAction"_s)->trigger();
    EXPECT_EQ(autoStart.log, QStringList{u"disable:Dorvane 1.6"_s});
    EXPECT_TRUE(afterAutoStart.contains("Auto Start=0\n"));
    EXPECT_TRUE(readFile(u"dorvane.ini"_s).contains("Sound Play=0\nNotify=0\n"));
}

// Started from a menu or at login the program runs in another folder: its own language folder
// is used then.
TEST_F(MainWindowTest, LanguageFilesComeFromTheProgramFolderWhenNotInTheCurrentOne)
{
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    auto form = makeForm();
    form->startUp();
    EXPECT_EQ(form->strings().active, u"Active"_s);
}
