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

// The tray keys appear once chosen, and a cleared one stays written as 0; a file that never had
// them keeps the bytes earlier versions wrote.
TEST(ProgramSettingsTest, TrayKeysAreWrittenOnceChosen)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"dorvane.ini"_s);
    const auto bytes = [&file] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray plain = "[Options]\nLanguage=English\nAuto Start=1\nSound Play=1\nNotify=1\n";
    struct Step
    {
        bool closeToTray, startHidden;
        QByteArray written;
    };
    for (const Step& step :
         {Step{false, false, plain}, Step{true, false, plain + "Close To Tray=1\n"},
          Step{false, true, plain + "Close To Tray=0\nStart Hidden=1\n"}}) {
        ProgramSettings s;
        s.closeToTray = step.closeToTray;
        s.startHidden = step.startHidden;
        s.write(file);
        EXPECT_EQ(bytes(), step.written);
        const ProgramSettings back = ProgramSettings::read(file);
        EXPECT_EQ(back.closeToTray, step.closeToTray);
        EXPECT_EQ(back.startHidden, step.startHidden);
    }
}

} // namespace
