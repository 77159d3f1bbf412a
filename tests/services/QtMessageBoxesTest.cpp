#include "platform/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct Shown
{
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Runs the real modal box, reads what it shows once it is up and presses `press`.
Shown runBox(const std::function<void()>& open, QMessageBox::StandardButton press)
{
    Shown shown;
    bool seen = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || seen)
            return;
        seen = true;
        shown = {box->windowTitle(), box->text(), box->textFormat(), box->icon(),
                 box->standardButtons()};
        box->button(press)->click();
    });
    poll.start();
    QTimer::singleShot(5000, [] {
        if (QWidget* stuck = QApplication::activeModalWidget())
            stuck->close(); // never hang the test run
    });
    open();
    EXPECT_TRUE(seen);
    return shown;
}

TEST(QtMessageBoxesTest, BoxesShowPlainTextWithCarriageReturnsAsLineBreaks)
{
    QtMessageBoxes boxes;
    const QString text = "01.02.2024 - 10:00:00 - <b>Call</b>\r\rline\r\nnext";
    const QString expected = "01.02.2024 - 10:00:00 - <b>Call</b>\n\nline\nnext";
    using B = QMessageBox;
    const struct
    {
        std::function<bool()> call;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton press;
        bool answer;
    } cases[] = {
        {[&] {
             boxes.showMessage(nullptr, "Dorvane 1.6", text);
             return true;
         },
         B::NoIcon, B::Ok, B::Ok, true},
        {[&] { return boxes.askOkCancel(nullptr, "Dorvane 1.6", text); }, B::NoIcon,
         B::Ok | B::Cancel, B::Ok, true},
        {[&] { return boxes.askOkCancel(nullptr, "Dorvane 1.6", text); }, B::NoIcon,
         B::Ok | B::Cancel, B::Cancel, false},
        {[&] {
             boxes.showError(nullptr, "Dorvane 1.6", text);
             return true;
         },
         B::Critical, B::Ok, B::Ok, true},
    };
    for (const auto& c : cases) {
        bool answer = !c.answer;
        const Shown shown = runBox([&] { answer = c.call(); }, c.press);
        EXPECT_EQ(shown.title, "Dorvane 1.6");
        EXPECT_EQ(shown.text, expected);
        EXPECT_EQ(shown.format, Qt::PlainText);
        EXPECT_EQ(shown.icon, c.icon);
        EXPECT_EQ(shown.buttons, c.buttons);
        EXPECT_EQ(answer, c.answer);
    }
}

} // namespace
