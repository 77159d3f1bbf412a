#include "ui/AboutDialog.h"

#include "i18n/LanguageFile.h"
#include "support/DarkTheme.h"
#include "support/FakeShell.h"
#include "support/LanguageFolder.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

QLabel* label(const AboutDialog& dialog, const char* name)
{
    return dialog.findChild<QLabel*>(QLatin1String(name));
}

QString textOf(const AboutDialog& dialog, const char* target)
{
    if (QLatin1String(target) == "caption")
        return dialog.windowTitle();
    return label(dialog, target)->text();
}

QColor colourOf(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

void moveMouse(QWidget* widget, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

TEST(AboutDialogTest, LanguageFileSetsEveryTextAndAMissingKeyKeepsIt)
{
    const struct
    {
        const char* key;
        const char* target;
    } keys[] = {{"AboutBox->Caption", "caption"},
                {"AboutBox->LabelTitle->Caption", "titleLabel"},
                {"AboutBox->LabelAbout->Caption", "aboutLabel"},
                {"AboutBox->LabelAuthor->Caption", "authorLabel"},
                {"AboutBox->LabelSite->Caption", "siteLabel"}};
    FakeShell shell;
    const LanguageFolder folder;
    for (int missing = -1; missing < int(std::size(keys)); ++missing) {
        AboutDialog dialog(shell);
        QStringList builtIn;
        // Neither the e-mail address nor the OK button has a key of its own.
        QStringList lines{u"AboutBox->LabelEmail->Caption=x"_s, u"AboutBox->OKButton->Caption=x"_s};
        for (int i = 0; i < int(std::size(keys)); ++i) {
            builtIn << textOf(dialog, keys[i].target);
            if (i != missing)
                lines << QLatin1String(keys[i].key) + u"=Текст "_s + QString::number(i);
        }
        const QString email = label(dialog, "emailLabel")->text();
        folder.write(u"Test.ini"_s, lines);
        dialog.applyLanguage(LanguageFile(u"Test.ini"_s, {}));
        for (int i = 0; i < int(std::size(keys)); ++i)
            EXPECT_EQ(textOf(dialog, keys[i].target),
                      i == missing ? builtIn[i] : u"Текст "_s + QString::number(i))
                << keys[i].key << ", missing " << missing;
        EXPECT_EQ(label(dialog, "emailLabel")->text(), email);
        EXPECT_EQ(dialog.findChild<QPushButton*>(u"okButton"_s)->text(), u"OK"_s);
    }
}

TEST(AboutDialogTest, LinkOpensWebAndMailAddressesOnlyWithAnyButton)
{
    const struct
    {
        const char* text;
        const char* opened; // nullptr: refused
    } cases[] = {{"https://dorvane.org", "https://dorvane.org"},
                 {"http://dorvane.org/news", "http://dorvane.org/news"},
                 {"mailto:info@dorvane.org", "mailto:info@dorvane.org"},
                 {"www.dorvane.org", "https://www.dorvane.org"},
                 {"file:///etc/passwd", nullptr},
                 {"/usr/bin/xterm", nullptr},
                 {"javascript:alert(1)", nullptr},
                 {"ftp://dorvane.org/pub", nullptr},
                 {"https://", nullptr},
                 {"mailto:", nullptr},
                 {"", nullptr}};
    FakeShell shell;
    AboutDialog dialog(shell);
    dialog.show();
    QLabel* site = label(dialog, "siteLabel");
    for (const auto& c : cases) {
        site->setText(QString::fromUtf8(c.text));
        shell.openedUrls.clear();
        for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            QTest::mouseClick(site, button);
        const QStringList expected =
            c.opened ? QStringList(3, QString::fromUtf8(c.opened)) : QStringList();
        EXPECT_EQ(shell.openedUrls, expected) << c.text;
        EXPECT_TRUE(shell.openedFiles.isEmpty()) << c.text;
    }
}

TEST(AboutDialogTest, LinkTurnsRedUnderTheMouseAndBlueOnTheBarePanel)
{
    FakeShell shell;
    AboutDialog dialog(shell);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QLabel* site = label(dialog, "siteLabel");
    auto* panel = dialog.findChild<QFrame*>(u"panel"_s);
    const QColor blue(0, 0, 255);
    const QColor red(255, 0, 0);
    const QPoint barePanel = panel->rect().bottomRight() - QPoint(4, 4);
    ASSERT_EQ(panel->childAt(barePanel), nullptr);

    EXPECT_EQ(colourOf(site), blue);
    EXPECT_EQ(site->cursor().shape(), Qt::PointingHandCursor);
    // Step by step: where the mouse is, and the colour it leaves the link in.
    const struct
    {
        QWidget* over;
        QPoint pos;
        QColor colour;
    } steps[] = {{site, site->rect().center(), red},
                 {label(dialog, "titleLabel"), {2, 2}, red},
                 {label(dialog, "programIconLabel"), {2, 2}, red},
                 {panel, barePanel, blue},
                 {site, {1, 1}, red},
                 {&dialog, {1, 1}, red}};
    for (const auto& step : steps) {
        moveMouse(step.over, step.pos);
        EXPECT_EQ(colourOf(site), step.colour) << qPrintable(step.over->objectName());
    }
}

TEST(AboutDialogTest, TextsStayReadableOnALightAndADarkWindowColour)
{
    for (const bool dark : {false, true}) {
        std::optional<DarkTheme> theme;
        if (dark)
            theme.emplace();
        FakeShell shell;
        AboutDialog dialog(shell);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        const QColor window = dialog.palette().color(QPalette::Window);
        QLabel* site = label(dialog, "siteLabel");
        for (const bool hovered : {false, true}) {
            if (hovered)
                moveMouse(site, site->rect().center());
            for (const char* name :
                 {"titleLabel", "aboutLabel", "authorLabel", "emailLabel", "siteLabel"})
                EXPECT_GE(contrastRatio(colourOf(label(dialog, name)), window), 3.0)
                    << name << " dark " << dark << " hovered " << hovered;
        }
    }
}
