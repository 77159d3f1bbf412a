#include "ui/MaskedLineEdit.h"

#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(MaskedLineEditTest, TextsKeepEveryPlaceAndAlignGroups)
{
    struct Case
    {
        const char* mask;
        QString set;
        QString text;
    };
    const Case cases[] = {
        {"!99/99/0000;1;_", u""_s, u"  .  .    "_s},
        {"!99/99/0000;1;_", u"05.03.2026"_s, u"05.03.2026"_s},
        {"!99/99/0000;1;_", u"5.3.2026"_s, u" 5. 3.2026"_s},
        {"!99/99/0000;1;_", u"  .  .2026"_s, u"  .  .2026"_s},
        {"!99/99/0000;1;_", u"05.03.26"_s, u"05.03.  26"_s},
        {"!90:00:00;1;_", u""_s, u"  :  :  "_s},
        {"!90:00:00;1;_", u"9:05:00"_s, u" 9:05:00"_s},
        {"!90:00:00;1;_", u"09:05:00"_s, u"09:05:00"_s},
    };
    for (const Case& c : cases) {
        MaskedLineEdit edit(QLatin1String(c.mask), u'.', u':');
        edit.setMaskedText(c.set);
        EXPECT_EQ(edit.maskedText(), c.text) << c.mask << " " << c.set.toStdString();
        EXPECT_FALSE(edit.isModified());
    }

    // Typed into the second place of the day only: the empty place leads its group.
    MaskedLineEdit date(u"!99/99/0000;1;_"_s, u'.', u':');
    date.setMaskedText(u"  .03.2026"_s);
    date.setCursorPosition(1);
    QTest::keyClicks(&date, u"7"_s);
    EXPECT_EQ(date.maskedText(), u" 7.03.2026"_s);
    date.setCursorPosition(0);
    QTest::keyClicks(&date, u"1"_s);
    EXPECT_EQ(date.maskedText(), u"17.03.2026"_s);
    EXPECT_EQ(date.firstIncompletePosition(), -1);
    date.setMaskedText(u"17.03.20"_s);
    EXPECT_EQ(date.firstIncompletePosition(), 6);
}

/// Two masked fields in a window, the date field focused.
class MaskedFocusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(&date);
        layout->addWidget(&time);
        date.setMaskedText(u"17.03.2026"_s);
        time.setMaskedText(u"  :  :  "_s); // incomplete, but the program's own
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        time.setFocus(Qt::OtherFocusReason);
        date.setFocus(Qt::TabFocusReason);
    }

    QWidget window;
    MaskedLineEdit date{u"!99/99/0000;1;_"_s, u'.', u':', &window};
    MaskedLineEdit time{u"!90:00:00;1;_"_s, u'.', u':', &window};
    QSignalSpy dateRefused{&date, &MaskedLineEdit::inputRefused};
    QSignalSpy timeRefused{&time, &MaskedLineEdit::inputRefused};
};

TEST_F(MaskedFocusTest, AChangedIncompleteFieldKeepsTheFocusAndEscapeUndoes)
{
    date.setCursorPosition(10);
    QTest::keyClick(&date, Qt::Key_Backspace);
    QTest::keyClick(&date, Qt::Key_Backspace);
    QTest::keyClick(&date, Qt::Key_Tab);
    EXPECT_TRUE(date.hasFocus());
    EXPECT_EQ(date.cursorPosition(), 8);
    EXPECT_TRUE(dateRefused.wait(1000));

    QTest::keyClick(&date, Qt::Key_Escape);
    EXPECT_EQ(date.maskedText(), u"17.03.2026"_s);
    QTest::keyClick(&date, Qt::Key_Tab);
    EXPECT_TRUE(time.hasFocus());

    // Untouched by the user, an empty required place is let go.
    QTest::keyClick(&time, Qt::Key_Backtab);
    EXPECT_TRUE(date.hasFocus());
    QTest::qWait(10);
    EXPECT_EQ(dateRefused.count(), 1);
    EXPECT_EQ(timeRefused.count(), 0);
}

} // namespace
