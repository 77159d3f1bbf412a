#include "platform/InstalledQtTranslations.h"

#include <QCoreApplication>
#include <QLocale>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

// Qt's standard buttons and the default locale follow the language, and back again.
TEST(InstalledQtTranslationsTest, QtsOwnTextsFollowTheLocale)
{
    const QLocale previous;
    const struct
    {
        QString locale;
        QString cancel;
        QLocale::Language language;
    } cases[] = {{u"ru"_s, u"Отмена"_s, QLocale::Russian},
                 {u"en"_s, u"Cancel"_s, QLocale::English},
                 {u"ru"_s, u"Отмена"_s, QLocale::Russian}};
    {
        InstalledQtTranslations translations;
        for (const auto& c : cases) {
            translations.apply(c.locale);
            EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), c.cancel)
                << qPrintable(c.locale);
            EXPECT_EQ(QLocale().language(), c.language) << qPrintable(c.locale);
        }
    }
    // Its end takes the translation away.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Cancel"_s);
    QLocale::setDefault(previous);
}
