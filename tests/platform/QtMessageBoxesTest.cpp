#include "platform/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

using B = QMessageBox;

const QString text = "01.02.2024 - 10:00:00 - <b>Call</b>\r\rline\r\nnext";

// Runs the real modal box, checks what it shows once it is up and presses `press`: plain text
// (no markup), carriage returns as line breaks.
void runBox(const std::function<void()>& open, B::Icon icon, B::StandardButtons buttons,
            B::StandardButton press)
{
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<B*>(QApplication::activeModalWidget());
        if (!box || seen)
            return;
        seen = true;
        EXPECT_EQ(box->windowTitle(), "Dorvane 1.6");
        EXPECT_EQ(box->text(), "01.02.2024 - 10:00:00 - <b>Call</b>\n\nline\nnext");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), icon);
        EXPECT_EQ(box->standardButtons(), buttons);
        EXPECT_EQ(box->windowModality(), Qt::WindowModal); // the tray stays in reach
        box->button(press)->click();
    });
    poll.start(0);
    QTimer::singleShot(5000, [] {
        if (QWidget* stuck = QApplication::activeModalWidget())
            stuck->close(); // never hang the test run
    });
    open();
    EXPECT_TRUE(seen);
}

TEST(QtMessageBoxesTest, EachBoxShowsItsButtonsAndIconAndAnswers)
{
    QtMessageBoxes boxes;
    runBox([&] { boxes.showMessage(nullptr, "Dorvane 1.6", text); }, B::NoIcon, B::Ok, B::Ok);
    runBox([&] { boxes.showError(nullptr, "Dorvane 1.6", text); }, B::Critical, B::Ok, B::Ok);
    for (const B::StandardButton press : {B::Ok, B::Cancel}) {
        bool answer = press != B::Ok;
        runBox([&] { answer = boxes.askOkCancel(nullptr, "Dorvane 1.6", text); }, B::NoIcon,
               B::Ok | B::Cancel, press);
        EXPECT_EQ(answer, press == B::Ok);
    }
}

TEST(QtMessageBoxesTest, AnAlarmsWorkRunsOnceWithItsBoxUpOrClosed)
{
    QtMessageBoxes boxes;
    int runs = 0;
    bool boxWasUp = false;
    runBox(
        [&] {
            boxes.showAlarm(nullptr, "Dorvane 1.6", text, [&] {
                ++runs;
                boxWasUp = QApplication::activeModalWidget() != nullptr;
            });
        },
        B::NoIcon, B::Ok, B::Ok);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(boxWasUp);

    // Closed before its loop ran: the work is still done, after it.
    runs = 0;
    QTimer::singleShot(0, [&] { boxes.closeMessage(text); });
    boxes.showAlarm(nullptr, "Dorvane 1.6", text, [&] { ++runs; });
    EXPECT_EQ(runs, 1);
}

TEST(QtMessageBoxesTest, ATextTallerThanTheScreenScrollsWithOkOnTheScreen)
{
    QtMessageBoxes boxes;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const int lines : {3, 200}) {
        QStringList rows;
        for (int i = 0; i < lines; ++i)
            rows << u"01.02.2030 - 10:00:00 - Event %1"_qs.arg(i);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<B*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = true;
            QAbstractButton* ok = box->button(B::Ok);
            EXPECT_TRUE(screen.contains(box->frameGeometry())) << lines;
            EXPECT_TRUE(screen.contains(QRect(ok->mapToGlobal(QPoint()), ok->size()))) << lines;
            // A short text is shown as it always was.
            EXPECT_EQ(box->findChild<QScrollArea*>() != nullptr, lines > 3) << lines;
            ok->click();
        });
        boxes.showAlarm(nullptr, u"Dorvane 1.6"_qs, rows.join(u'\n'), {});
        EXPECT_TRUE(seen);
    }
}

} // namespace
