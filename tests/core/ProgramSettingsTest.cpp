#include "core/ProgramSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(ProgramSettingsTest, DefaultsAndRoundTrip)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"dorvane.ini"_s);
    const ProgramSettings defaults = ProgramSettings::read(file);
    EXPECT_EQ(defaults.languageName, u"English"_s);
    EXPECT_EQ(defaults.eventCount, std::nullopt);
    EXPECT_TRUE(defaults.autoStart);
    EXPECT_TRUE(defaults.soundPlay);

    ProgramSettings s{u"Russian"_s, 12, false, false};
    s.write(file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        f.readAll(),
        QByteArray(
            "[Options]\nLanguage=Russian\nEvents=12\nAuto Start=0\nSound Play=0\nNotify=1\n"));
    const ProgramSettings back = ProgramSettings::read(file);
    EXPECT_EQ(back.languageName, s.languageName);
    EXPECT_EQ(back.eventCount, 12);
    EXPECT_FALSE(back.autoStart);
    EXPECT_FALSE(back.soundPlay);

    // Only a plain count says how many events the file holds.
    const std::pair<const char*, std::optional<int>> counts[] = {{"0", 0},
                                                                 {" 7 ", 7},
                                                                 {"-5", std::nullopt},
                                                                 {"abc", std::nullopt},
                                                                 {"99999999999", std::nullopt},
                                                                 {"", std::nullopt},
                                                                 {"0x10", std::nullopt}};
    f.close();
    for (const auto& [text, expected] : counts) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("[Options]\nEvents=") + text + "\n");
        f.close();
        EXPECT_EQ(ProgramSettings::read(file).eventCount, expected) << text;
    }
}

} // namespace
