#include "ui/EventDialog.h"

#include "core/EventsFile.h"
#include "core/ProgramSettings.h"
#include "support/AppFakes.h"
#include "ui/EventViewModel.h"
#include "ui/MaskedLineEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

using Kind = FakeMessageBoxes::Kind;

class EventCommandsTest : public ::testing::Test, protected AppFixture
{
protected:
    void start(int events)
    {
        EventList list;
        for (int i = 0; i < events; ++i)
            list.append(
                makeEvent(u"01.01.2030"_s, u"10:00:0%1"_s.arg(i), u"e%1"_s.arg(i), u"Active"_s));
        EventsFile::save(path(u"events.ini"_s), list);
        writeFile(u"dorvane.ini"_s, u"[Options]\nEvents=%1\nAuto Start=0\n"_s.arg(events).toUtf8());
        form = makeForm();
        form->startUp();
        addDialog = form->findChild<EventDialog*>(u"addEventDialog"_s);
        editDialog = form->findChild<EventDialog*>(u"editEventDialog"_s);
        ASSERT_TRUE(addDialog && editDialog);
    }

    /// Runs the command; inside the modal dialog it opens, runs the step, then cancels if the
    /// step left the dialog open.
    void inDialog(const std::function<void()>& command, const std::function<void(QDialog&)>& step)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            ran = true;
            step(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        command();
        EXPECT_TRUE(ran);
    }

    template <typename T> static T* field(QDialog& dialog, const char* name)
    {
        T* widget = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static void type(QDialog& dialog, const char* name, const QString& text)
    {
        field<QLineEdit>(dialog, name)->setText(text);
    }
    static void click(QDialog& dialog, const char* name)
    {
        field<QPushButton>(dialog, name)->click();
    }

    void select(std::initializer_list<int> rows)
    {
        QItemSelectionModel* selection = form->listView()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(form->listView()->model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    [[nodiscard]] QStringList rowTitles() const
    {
        QStringList titles;
        for (int row = 0; row < form->model().count(); ++row) {
            titles << form->model().cell(row, EventTableModel::TitleColumn);
            EXPECT_EQ(titles.back(), form->book().events()[static_cast<std::size_t>(row)].title);
        }
        return titles;
    }
    [[nodiscard]] QStringList titlesOnDisk() const
    {
        QStringList titles;
        // As the next start reads it: as many events as the settings count.
        for (const Event& e :
             EventsFile::load(path(u"events.ini"_s),
                              ProgramSettings::read(path(u"dorvane.ini"_s)).eventCount, {}))
            titles << e.title;
        return titles;
    }

    TestForm form;
    EventDialog* addDialog = nullptr;
    EventDialog* editDialog = nullptr;
};

TEST_F(EventCommandsTest, OkNamesWhatIsMissingAndStoresNothingUntilBothAreThere)
{
    start(0);
    const QString title = form->strings().enterTitle + u"\n"_s;
    const QString text = form->strings().enterText + u"\n"_s;
    const std::tuple<QString, QString, QString> cases[] = {
        {u""_s, u""_s, title + text}, {u""_s, u"x"_s, title}, {u"x"_s, u""_s, text}};
    inDialog([&] { form->addEvent(); },
             [&](QDialog& dialog) {
                 for (const auto& [titleText, messageText, expected] : cases) {
                     boxes.calls.clear();
                     type(dialog, "titleEdit", titleText);
                     type(dialog, "textEdit", messageText);
                     click(dialog, "okButton");
                     ASSERT_EQ(boxes.calls.size(), 1u);
                     EXPECT_EQ(boxes.calls[0].kind, Kind::Message);
                     EXPECT_EQ(boxes.calls[0].caption, u"Dorvane 1.6"_s);
                     EXPECT_EQ(boxes.calls[0].text, expected);
                     EXPECT_TRUE(dialog.isVisible());
                 }
             });
    EXPECT_TRUE(form->book().events().empty());
}

TEST_F(EventCommandsTest, AddAppendsAtTheEndSavesAtOnceAndKeepsTheFieldsForNextTime)
{
    start(2);
    clock.current = QDateTime(QDate(2027, 3, 5), QTime(7, 8, 9));
    fileDialogs.answers = {u"/music/bell.mp3"_s};
    inDialog([&] { form->addEvent(); },
             [&](QDialog& dialog) {
                 EXPECT_EQ(field<MaskedLineEdit>(dialog, "dateEdit")->maskedText(),
                           u"05.03.2027"_s);
                 EXPECT_EQ(field<MaskedLineEdit>(dialog, "timeEdit")->maskedText(), u"07:08:09"_s);
                 EXPECT_EQ(field<QDateEdit>(dialog, "datePicker")->date(), QDate(2027, 3, 5));
                 type(dialog, "titleEdit", u" "_s); // a blank is a title
                 type(dialog, "textEdit", u"line one\r\nline two"_s);
                 click(dialog, "selectSoundButton");
                 field<QCheckBox>(dialog, "countdownCheckBox")->setChecked(true);
                 click(dialog, "okButton");
                 EXPECT_FALSE(dialog.isVisible());
             });
    ASSERT_EQ(form->book().events().size(), 3u);
    const Event& added = form->book().events()[2];
    EXPECT_EQ(added.date, u"05.03.2027"_s);
    EXPECT_EQ(added.time, u"07:08:09"_s);
    EXPECT_EQ(added.title, u" "_s);
    EXPECT_EQ(added.message, u"line one  line two"_s); // as the events file stores it
    EXPECT_EQ(added.soundFile, u"/music/bell.mp3"_s);
    EXPECT_EQ(added.status, u"Active"_s);
    EXPECT_TRUE(added.countdown);
    EXPECT_EQ(rowTitles(), (QStringList{u"e0"_s, u"e1"_s, u" "_s}));
    EXPECT_EQ(form->model().cell(2, EventTableModel::StatusColumn), u"Active"_s);
    ASSERT_EQ(fileDialogs.calls.size(), 1u);
    EXPECT_EQ(fileDialogs.calls[0].directory, dir.path() + u"/sounds"_s);
    EXPECT_EQ(fileDialogs.calls[0].filter,
              u"All Supported Files (*.wav *.mp3);;WAV Files (*.wav);;MP3 Files (*.mp3)"_s);
    EXPECT_TRUE(fileDialogs.calls[0].mustExist);
    // On disk at once: a crash or the tray menu's Exit cannot lose it.
    EXPECT_EQ(titlesOnDisk(), (QStringList{u"e0"_s, u"e1"_s, u" "_s}));
    EXPECT_TRUE(readFile(u"dorvane.ini"_s).contains("Events=3"));

    clock.advance(60);
    inDialog(
        [&] { form->addEvent(); },
        [&](QDialog& dialog) {
            EXPECT_EQ(field<QLineEdit>(dialog, "titleEdit")->text(), u" "_s);
            EXPECT_EQ(field<QLineEdit>(dialog, "soundFileEdit")->text(), u"/music/bell.mp3"_s);
            EXPECT_TRUE(field<QCheckBox>(dialog, "countdownCheckBox")->isChecked());
            EXPECT_EQ(field<MaskedLineEdit>(dialog, "dateEdit")->maskedText(), u"05.03.2027"_s);
            EXPECT_EQ(field<MaskedLineEdit>(dialog, "timeEdit")->maskedText(), u"07:09:09"_s);
            // Picking a date writes the date field only.
            field<MaskedLineEdit>(dialog, "timeEdit")->setMaskedText(u"23:00:00"_s);
            field<QDateEdit>(dialog, "datePicker")->setDate(QDate(2027, 4, 1));
            EXPECT_EQ(field<MaskedLineEdit>(dialog, "dateEdit")->maskedText(), u"01.04.2027"_s);
            EXPECT_EQ(field<MaskedLineEdit>(dialog, "timeEdit")->maskedText(), u"23:00:00"_s);
            click(dialog, "cancelButton");
        });
    EXPECT_EQ(form->book().events().size(), 3u);
}

TEST_F(EventCommandsTest, OkRefusesAMomentTheClockCanNeverReach)
{
    start(0);
    const QString badDate = u"Please enter a real date (dd.mm.yyyy)."_s;
    const QString badTime = u"Please enter a real time (hh:mm:ss)."_s;
    const QString passed =
        u"This moment has already passed. Please enter a date and time to come."_s;
    // The clock reads 08.12.2026 12:00:00. An empty message: the event is accepted.
    const struct
    {
        QString date;
        QString time;
        bool countdown;
        QString message;
        const char* focused;
    } cases[] = {
        {u"31.02.2030"_s, u"10:00:00"_s, false, badDate, "dateEdit"},
        {u"00.00.2030"_s, u"10:00:00"_s, true, badDate, "dateEdit"},
        {u"  .  .2030"_s, u"10:00:00"_s, false, badDate, "dateEdit"},
        {u"01.01.0000"_s, u"10:00:00"_s, false, badDate, "dateEdit"},
        {u"01.01.2030"_s, u"25:61:00"_s, false, badTime, "timeEdit"},
        {u"01.01.2030"_s, u" 7:00:00"_s, false, badTime, "timeEdit"},
        {u"01.01.2030"_s, u"24:00:00"_s, false, badTime, "timeEdit"},
        {u"01.01.2030"_s, u"10:60:00"_s, true, badTime, "timeEdit"},
        {u"08.12.2026"_s, u"11:59:59"_s, false, passed, "dateEdit"},
        {u"07.12.2026"_s, u"23:00:00"_s, false, passed, "dateEdit"},
        {u"08.12.2026"_s, u"12:00:00"_s, false, {}, nullptr},
        {u"29.02.2028"_s, u"23:59:59"_s, false, {}, nullptr},
        {u"08.12.2026"_s, u"11:59:59"_s, true, {}, nullptr}, // a countdown's time is a duration
        {u"01.01.2020"_s, u"99:59:59"_s, true, {}, nullptr},
    };
    std::size_t stored = 0;
    for (const auto& c : cases) {
        boxes.calls.clear();
        inDialog([&] { form->addEvent(); },
                 [&](QDialog& dialog) {
                     field<MaskedLineEdit>(dialog, "dateEdit")->setMaskedText(c.date);
                     field<MaskedLineEdit>(dialog, "timeEdit")->setMaskedText(c.time);
                     field<QCheckBox>(dialog, "countdownCheckBox")->setChecked(c.countdown);
                     type(dialog, "titleEdit", u"t"_s);
                     type(dialog, "textEdit", u"x"_s);
                     click(dialog, "okButton");
                     EXPECT_EQ(dialog.isVisible(), c.focused != nullptr);
                     if (c.focused) {
                         EXPECT_EQ(dialog.focusWidget(), field<QWidget>(dialog, c.focused));
                     }
                 });
        const QString where = c.date + u' ' + c.time;
        if (c.message.isEmpty()) {
            EXPECT_TRUE(boxes.calls.empty()) << where.toStdString();
            ++stored;
        } else {
            ASSERT_EQ(boxes.calls.size(), 1u) << where.toStdString();
            EXPECT_EQ(boxes.calls[0].kind, Kind::Message);
            EXPECT_EQ(boxes.calls[0].text, c.message) << where.toStdString();
        }
        ASSERT_EQ(form->book().events().size(), stored) << where.toStdString();
    }
    EXPECT_EQ(titlesOnDisk().size(), stored);
}

TEST_F(EventCommandsTest, EditChecksAPassedMomentOnlyForAnActiveClockEvent)
{
    start(1);
    form->book().replace(0, makeEvent(u"01.01.2020"_s, u"10:00:00"_s, u"old"_s, u"Active"_s));
    select({0});
    inDialog([&] { form->editEvent(); },
             [&](QDialog& dialog) {
                 click(dialog, "okButton");
                 EXPECT_TRUE(dialog.isVisible());
                 ASSERT_EQ(boxes.calls.size(), 1u);
                 EXPECT_TRUE(boxes.calls[0].text.startsWith(u"This moment has already passed."_s));
                 // Marked done, it waits for nothing.
                 field<QComboBox>(dialog, "statusComboBox")->setCurrentIndex(1);
                 click(dialog, "okButton");
                 EXPECT_FALSE(dialog.isVisible());
             });
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(form->book().events()[0].status, u"Done"_s);
}

TEST_F(EventCommandsTest, EachDialogOpensCentredAndModalToTheMainWindowOnly)
{
    start(1);
    select({0});
    // A language whose every caption is far wider than the screen.
    QFile english(path(u"language/English.ini"_s));
    ASSERT_TRUE(english.open(QIODevice::ReadOnly));
    QByteArray wide;
    for (const QByteArray& line : english.readAll().split('\n')) {
        const bool caption = line.contains("Caption=");
        wide += (caption ? line.left(line.indexOf('=') + 1) + QByteArray(400, 'W') : line) + '\n';
    }
    writeFile(u"language/Wide.ini"_s, wide);
    const QRect screen = form->screen()->availableGeometry();
    const QPoint centre = screen.center();
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"add", [&] { form->addEvent(); }},
        {"edit", [&] { form->editEvent(); }},
        {"settings", [&] { form->findChild<QAction*>(u"settingsAction"_s)->trigger(); }},
        {"about", [&] { form->findChild<QAction*>(u"aboutAction"_s)->trigger(); }},
    };
    for (const auto& entry : commands) {
        const char* name = entry.first; // a lambda cannot capture a structured binding here
        // The second opening in another language: longer texts, another size, still centred.
        for (const QString& language : {u"English"_s, u"Russian"_s, u"Wide"_s}) {
            form->selectLanguage(language);
            inDialog(entry.second, [&](QDialog& dialog) {
                QCoreApplication::processEvents(); // any pending layout
                EXPECT_LE((dialog.geometry().center() - centre).manhattanLength(), 1)
                    << name << " in " << language.toStdString();
                EXPECT_TRUE(screen.contains(dialog.geometry())) << name;
                EXPECT_EQ(dialog.windowModality(), Qt::WindowModal) << name;
                EXPECT_EQ(dialog.parentWidget(), &*form) << name;
            });
        }
    }
}

TEST_F(EventCommandsTest, TheFirstNavigationKeySelectsItsRowAndANewEventIsSelectedInView)
{
    start(3);
    QTreeView* list = form->listView();
    // The cursor on a row, nothing selected, as the list is when it first gets the focus.
    const struct
    {
        int from;
        Qt::Key key;
        int selected;
    } cases[] = {{0, Qt::Key_Home, 0},
                 {0, Qt::Key_Up, 0},
                 {2, Qt::Key_End, 2},
                 {2, Qt::Key_PageDown, 2},
                 {0, Qt::Key_Down, 1}};
    for (const auto& c : cases) {
        select({});
        list->selectionModel()->setCurrentIndex(list->model()->index(c.from, 0),
                                                QItemSelectionModel::NoUpdate);
        QTest::keyClick(list, c.key);
        EXPECT_EQ(form->selectedRows(), std::vector<int>{c.selected}) << c.from << " " << c.key;
    }

    for (int i = 0; i < 60; ++i)
        form->book().add(makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"more"_s, u"Active"_s));
    form->resize(400, 300);
    select({0});
    list->scrollToTop();
    inDialog([&] { form->addEvent(); },
             [&](QDialog& dialog) {
                 type(dialog, "titleEdit", u"new"_s);
                 type(dialog, "textEdit", u"x"_s);
                 click(dialog, "okButton");
             });
    const int last = form->model().count() - 1;
    EXPECT_EQ(form->selectedRows(), std::vector<int>{last});
    EXPECT_TRUE(list->viewport()->rect().contains(
        list->visualRect(list->model()->index(last, 0)).center()));
}

TEST_F(EventCommandsTest, TextFieldsHoldNoMoreThanTheFileGivesBack)
{
    start(0);
    inDialog(
        [&] { form->addEvent(); },
        [&](QDialog& dialog) {
            for (const char* name : {"titleEdit", "textEdit", "soundFileEdit", "extraFileEdit"}) {
                type(dialog, name, QString(1100, u'я')); // two bytes each
                EXPECT_EQ(field<QLineEdit>(dialog, name)->text().toUtf8().size(), 2046) << name;
            }
        });
}

TEST_F(EventCommandsTest, EditFillsFromTheRecordAndRewritesTheSameIndex)
{
    start(3);
    form->book().replace(1,
                         makeEvent(u"08.12.2026"_s, u"00:10:00"_s, u"count"_s, u"Active"_s, true));
    form->book().tick(); // the countdown row now shows 00:09:59
    ASSERT_EQ(form->model().cell(1, EventTableModel::TimeColumn), u"00:09:59"_s);
    ASSERT_TRUE(QFile::remove(path(u"events.ini"_s)));
    select({2, 1});
    inDialog([&] { form->editEvent(); },
             [&](QDialog& dialog) {
                 // Saved before the dialog opened.
                 EXPECT_EQ(titlesOnDisk(), (QStringList{u"e0"_s, u"count"_s, u"e2"_s}));
                 EXPECT_EQ(field<MaskedLineEdit>(dialog, "timeEdit")->maskedText(), u"00:10:00"_s);
                 EXPECT_EQ(field<QLineEdit>(dialog, "titleEdit")->text(), u"count"_s);
                 EXPECT_TRUE(field<QCheckBox>(dialog, "countdownCheckBox")->isChecked());
                 EXPECT_EQ(field<QDateEdit>(dialog, "datePicker")->date(), QDate(2005, 12, 2));
                 auto* status = field<QComboBox>(dialog, "statusComboBox");
                 ASSERT_EQ(status->count(), 2);
                 EXPECT_EQ(status->currentIndex(), 0);
                 status->setCurrentIndex(1);
                 type(dialog, "titleEdit", u"changed"_s);
                 click(dialog, "okButton");
             });
    EXPECT_EQ(rowTitles(), (QStringList{u"e0"_s, u"changed"_s, u"e2"_s}));
    EXPECT_EQ(form->book().events()[1].status, u"Done"_s);
    EXPECT_EQ(form->model().cell(1, EventTableModel::TimeColumn), u"00:10:00"_s);
    EXPECT_EQ(titlesOnDisk(), (QStringList{u"e0"_s, u"changed"_s, u"e2"_s}));

    // Cancel leaves event and row alone.
    inDialog([&] { form->editEvent(); },
             [&](QDialog& dialog) { type(dialog, "titleEdit", u"not stored"_s); });
    EXPECT_EQ(rowTitles(), (QStringList{u"e0"_s, u"changed"_s, u"e2"_s}));
}

// Names and texts from an 8-bit code page: Edit, then OK, writes back the bytes of every field
// it did not change, so the sound and extra files are still found.
TEST_F(EventCommandsTest, EditKeepsTheStoredBytesOfTheFieldsItDidNotChange)
{
    const struct
    {
        const char* field;   // the field typed into
        QByteArray expected; // lines of events.ini afterwards
    } cases[] = {
        {"textEdit", "Title=Caf\xE9\nMessage=new text\nSound File=/s/caf\xE9.wav\n"
                     "Extra File=/d/Re\xE7u.pdf\n"},
        {"titleEdit", "Title=new text\nMessage=Gr\xFC\xDF\nSound File=/s/caf\xE9.wav\n"
                      "Extra File=/d/Re\xE7u.pdf\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        start(0);
        writeFile(u"events.ini"_s, "[Event0]\nDate=01.01.2030\nTime=10:00:00\nCountdown=0\n"
                                   "Title=Caf\xE9\nMessage=Gr\xFC\xDF\nSound File=/s/caf\xE9.wav\n"
                                   "Extra File=/d/Re\xE7u.pdf\nStatus=Active\n");
        writeFile(u"dorvane.ini"_s, "[Options]\nEvents=1\n");
        form = makeForm();
        form->startUp();
        editDialog = form->findChild<EventDialog*>(u"editEventDialog"_s);
        select({0});
        inDialog([&] { form->editSelectedEvent(); },
                 [&](QDialog& dialog) {
                     type(dialog, c.field, u"new text"_s);
                     click(dialog, "okButton");
                 });
        EXPECT_TRUE(readFile(u"events.ini"_s).contains(c.expected))
            << readFile(u"events.ini"_s).toStdString();
        EXPECT_EQ(form->book().at(0).soundFilePath(), QByteArray("/s/caf\xE9.wav"));
    }
}

TEST_F(EventCommandsTest, AStatusOfNeitherWordSelectsNothingAndOkStoresItEmpty)
{
    start(1);
    form->book().replace(0, makeEvent(u"01.01.2030"_s, u"10:00:00"_s, u"old"_s, u"Активно"_s));
    select({0});
    inDialog([&] { form->editSelectedEvent(); },
             [&](QDialog& dialog) {
                 EXPECT_EQ(field<QComboBox>(dialog, "statusComboBox")->currentIndex(), -1);
                 click(dialog, "okButton");
             });
    EXPECT_EQ(form->book().events()[0].status, QString());
    EXPECT_EQ(form->model().cell(0, EventTableModel::StatusColumn), QString());
}

TEST_F(EventCommandsTest, ADoubleClickOnSeveralRowsEditsTheFirstOnce)
{
    start(4);
    select({3, 1});
    int opened = 0;
    QString title;
    QObject::connect(editDialog, &QDialog::finished, [&] { ++opened; });
    QTimer::singleShot(0, [&] {
        title = editDialog->findChild<QLineEdit*>(u"titleEdit"_s)->text();
        editDialog->reject();
    });
    // The double-click alone: a first click of its own would select just its row.
    QWidget* viewport = form->listView()->viewport();
    const QPoint at = form->listView()->visualRect(form->listView()->model()->index(3, 0)).center();
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, viewport->mapToGlobal(at),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &doubleClick);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(title, u"e1"_s);
}

TEST_F(EventCommandsTest, DeleteRemovesTheSelectedRowsWithTheirEventsAndSaves)
{
    start(5);
    select({1, 3});
    boxes.answers = {false, true};
    form->deleteSelectedEvents(); // cancelled
    EXPECT_EQ(form->book().events().size(), 5u);
    form->deleteSelectedEvents();
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[1].kind, Kind::OkCancel);
    EXPECT_EQ(boxes.calls[1].caption, form->strings().deleteCaption);
    EXPECT_EQ(boxes.calls[1].text, form->strings().confirmDelete);
    EXPECT_EQ(rowTitles(), (QStringList{u"e0"_s, u"e2"_s, u"e4"_s}));
    EXPECT_EQ(titlesOnDisk(), (QStringList{u"e0"_s, u"e2"_s, u"e4"_s}));
    EXPECT_TRUE(readFile(u"dorvane.ini"_s).contains("Events=3"));

    // The key, with a modifier; then with nothing selected, a request to select.
    select({0});
    QTest::keyClick(form->listView(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(rowTitles(), (QStringList{u"e2"_s, u"e4"_s}));
    boxes.calls.clear();
    select({});
    QTest::keyClick(form->listView(), Qt::Key_Delete);
    form->editEvent();
    ASSERT_EQ(boxes.calls.size(), 2u);
    for (const auto& call : boxes.calls) {
        EXPECT_EQ(call.kind, Kind::Message);
        EXPECT_EQ(call.text, form->strings().selectFirst);
    }
    EXPECT_EQ(form->book().events().size(), 2u);
}

TEST_F(EventCommandsTest, DialogsTakeTheirTextsFromTheLanguage)
{
    start(0);
    form->selectLanguage(u"Russian"_s);
    EXPECT_EQ(addDialog->windowTitle(), u" Добавить событие"_s);
    EXPECT_EQ(editDialog->findChild<QLabel*>(u"statusLabel"_s)->text(), u"Статус:"_s);
    EXPECT_EQ(editDialog->findChild<QPushButton*>(u"okButton"_s)->text(), u"OK"_s);
    fileDialogs.answers = {u"/docs/a.pdf"_s};
    inDialog([&] { form->addEvent(); },
             [&](QDialog& dialog) { click(dialog, "selectExtraButton"); });
    ASSERT_EQ(fileDialogs.calls.size(), 1u);
    EXPECT_EQ(fileDialogs.calls[0].filter, u"Все файлы (*)"_s);
    EXPECT_FALSE(fileDialogs.calls[0].mustExist);
    EXPECT_EQ(addDialog->findChild<QLineEdit*>(u"extraFileEdit"_s)->text(), u"/docs/a.pdf"_s);

    boxes.calls.clear();
    inDialog([&] { form->addEvent(); },
             [&](QDialog& dialog) {
                 field<MaskedLineEdit>(dialog, "dateEdit")->setMaskedText(u"31.02.2030"_s);
                 type(dialog, "titleEdit", u"t"_s);
                 type(dialog, "textEdit", u"x"_s);
                 click(dialog, "okButton");
             });
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, u"Введите существующую дату (дд.мм.гггг)."_s);
}

} // namespace

// The list sorted and searched is a view: Edit, Delete and the double-click reach the events the
// rows show, and the events file keeps its order.
TEST_F(EventCommandsTest, ASortedAndFilteredListActsOnTheRowsAsShown)
{
    EventList list;
    for (const auto& [date, time, title, message, status] :
         {std::tuple{"12.03.2030", "09:00:00", "Dentist", "teeth", "Active"},
          {"02.11.2029", "23:30:00", "Call mum", "phone", "Done"},
          {"12.03.2030", "08:15:00", "Dentist bill", "pay", "Active"},
          {"01.01.2031", "00:00:01", "Party", "cake", "Active"},
          {"05.12.2029", "10:00:00", "Call about teeth", "dentist", "Done"}}) {
        Event event = makeEvent(QString::fromUtf8(date), QString::fromUtf8(time),
                                QString::fromUtf8(title), QString::fromUtf8(status));
        event.message = QString::fromUtf8(message);
        list.append(std::move(event));
    }
    EventsFile::save(path(u"events.ini"_s), list);
    writeFile(u"dorvane.ini"_s, "[Options]\nEvents=5\nAuto Start=0\n");
    form = makeForm();
    form->startUp();
    form->show();
    QTreeView* view = form->listView();
    const auto shownRows = [&] {
        std::vector<int> rows;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            rows.push_back(form->viewModel().bookRow(row));
        return rows;
    };
    EXPECT_EQ(shownRows(), (std::vector<int>{0, 1, 2, 3, 4}));

    // Each click on a header, as a person makes it; the dates by the calendar, not as text.
    const struct
    {
        int column;
        std::vector<int> rows;
        const char* settings;
    } clicks[] = {
        {EventTableModel::DateColumn, {1, 4, 2, 0, 3}, "Sort Column=0\nSort Order=0\n"},
        {EventTableModel::DateColumn, {3, 0, 2, 4, 1}, "Sort Column=0\nSort Order=1\n"},
        {EventTableModel::DateColumn, {0, 1, 2, 3, 4}, "Sort Column=-1\nSort Order=0\n"},
        {EventTableModel::TimeColumn, {1, 4, 2, 0, 3}, "Sort Column=1\nSort Order=0\n"},
        {EventTableModel::TitleColumn, {4, 1, 0, 2, 3}, "Sort Column=2\nSort Order=0\n"},
        {EventTableModel::DateColumn, {1, 4, 2, 0, 3}, "Sort Column=0\nSort Order=0\n"},
    };
    QHeaderView* header = view->header();
    for (const auto& c : clicks) {
        const QPoint at(header->sectionViewportPosition(c.column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_EQ(shownRows(), c.rows) << c.settings;
        EXPECT_TRUE(readFile(u"dorvane.ini"_s).contains(c.settings)) << c.settings;
    }

    // Ctrl+F's field and Hide done: "DENT" in a title or a description, done ones left out.
    form->findChild<QAction*>(u"searchAction"_s)->trigger();
    auto* search = form->findChild<QLineEdit*>(u"searchEdit"_s);
    ASSERT_TRUE(search->isVisible());
    QTest::keyClicks(search, u"DENT"_s);
    EXPECT_EQ(shownRows(), (std::vector<int>{4, 2, 0}));
    form->findChild<QAction*>(u"hideDoneAction"_s)->trigger();
    EXPECT_EQ(shownRows(), (std::vector<int>{2, 0}));
    EXPECT_TRUE(readFile(u"dorvane.ini"_s).contains("Hide Done=1"));

    // The second row shown is the book's first; Delete removes it, and only it.
    select({1});
    EXPECT_EQ(form->selectedRows(), std::vector<int>{0});
    boxes.answers = {true};
    QTest::keyClick(view, Qt::Key_Delete);
    const QStringList left{u"Call mum"_s, u"Dentist bill"_s, u"Party"_s, u"Call about teeth"_s};
    EXPECT_EQ(rowTitles(), left);
    EXPECT_EQ(titlesOnDisk(), left);
    EXPECT_EQ(shownRows(), std::vector<int>{1});

    // A double-click on the row edits its event; the new title stays in the event's place.
    select({0});
    inDialog(
        [&] {
            const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
            QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at,
                                    view->viewport()->mapToGlobal(at), Qt::LeftButton,
                                    Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &doubleClick);
        },
        [&](QDialog& dialog) {
            EXPECT_EQ(field<QLineEdit>(dialog, "titleEdit")->text(), u"Dentist bill"_s);
            type(dialog, "titleEdit", u"Dentist paid"_s);
            click(dialog, "okButton");
        });
    const QStringList edited{u"Call mum"_s, u"Dentist paid"_s, u"Party"_s, u"Call about teeth"_s};
    EXPECT_EQ(titlesOnDisk(), edited);

    // Escape empties and hides the field; the next start sorts and hides as this one did.
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_FALSE(search->isVisible());
    EXPECT_EQ(shownRows(), (std::vector<int>{1, 2}));
    form = makeForm();
    form->startUp();
    view = form->listView();
    EXPECT_EQ(view->header()->sortIndicatorSection(), EventTableModel::DateColumn);
    EXPECT_EQ(shownRows(), (std::vector<int>{1, 2}));
    EXPECT_EQ(titlesOnDisk(), edited);
}

// The Repeat choice: each entry stores its word, a word this version does not know survives an
// edit, a countdown cannot repeat, and the row's tip says how the event repeats.
TEST_F(EventCommandsTest, RepeatChoiceStoresItsWordKeepsAnUnknownOneAndSkipsCountdowns)
{
    start(2);
    Event unknown = form->book().at(1);
    unknown.repeat = "Fortnightly";
    form->book().replace(1, unknown);
    struct Case
    {
        int row;
        int choice; // -1: left as it was
        bool countdown;
        QByteArray stored;
        QString tipEnd;
    };
    for (const Case& c : {Case{0, 3, false, "Weekly", u"\rRepeat: Weekly"_s},
                          Case{1, -1, false, "Fortnightly", u"Status: Active"_s},
                          Case{0, 4, true, "", u"Status: Active"_s}}) {
        select({c.row});
        inDialog([&] { form->editEvent(); },
                 [&](QDialog& dialog) {
                     auto* repeat = field<QComboBox>(dialog, "repeatComboBox");
                     if (c.choice >= 0)
                         repeat->setCurrentIndex(c.choice);
                     field<QCheckBox>(dialog, "countdownCheckBox")->setChecked(c.countdown);
                     EXPECT_EQ(repeat->isEnabled(), !c.countdown);
                     click(dialog, "okButton");
                 });
        EXPECT_EQ(form->book().at(c.row).repeat, c.stored) << c.row << " " << c.choice;
        EXPECT_TRUE(form->model().rowTip(c.row).endsWith(c.tipEnd))
            << form->model().rowTip(c.row).toStdString();
    }
    form->selectLanguage(u"Russian"_s);
    form->book().replace(0, form->book().at(1));
    Event weekly = form->book().at(1);
    weekly.countdown = false;
    weekly.repeat = "Weekly";
    form->book().replace(1, weekly);
    EXPECT_TRUE(form->model().rowTip(1).endsWith(u"\rПовтор: Еженедельно"_s));
}
