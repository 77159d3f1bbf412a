#include "i18n/LanguageFile.h"

#include "support/LanguageFolder.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

// A language file saved by an older editor in its language's 8-bit code page reads as written.
TEST(LanguageFileTest, FilesNotInUtf8ReadInTheirLanguagesCodePage)
{
    const struct
    {
        QString name;
        QByteArray lines;
        QString text;
        QString locale;
    } cases[] = {
        {u"Russian.ini"_s, "StringActive=\xC0\xEA\xF2\xE8\xE2\xED\xEE \xA8\xB8\xB9",
         u"Активно Ёё№"_s, u"ru"_s},
        {u"Russian.ini"_s, "Locale=ru\nStringActive=\xD0\x90\xD0\xBA", u"Ак"_s, u"ru"_s},
        {u"English.ini"_s, "StringActive=Caf\xE9 \x80", u"Café €"_s, u"en"_s},
        {u"Ukrainian.ini"_s, "Locale=uk\nStringActive=\xB2\xBF", u"Ії"_s, u"uk"_s},
    };
    for (const auto& c : cases) {
        const LanguageFolder folder;
        QFile file(u"language/"_s + c.name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Interface]\n" + c.lines + '\n');
        file.close();
        const LanguageFile language(c.name, {});
        EXPECT_EQ(language.text("StringActive", {}), c.text) << qPrintable(c.name);
        EXPECT_EQ(language.locale(), c.locale) << qPrintable(c.name);
    }
}
