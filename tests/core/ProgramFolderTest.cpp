// Where the files go: beside a writable program folder, per user (XDG base folders) beside a
// read-only one, with language files and the default sound always from the program folder.
#include "core/ProgramFolder.h"

#include <gtest/gtest.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Row
{
    const char* name;
    bool writable;
    ProgramFolder::UserEnvironment environment;
    QString events;
    QString settings;
};

TEST(ProgramFolderTest, ChoosesBesideTheProgramOrPerUser)
{
    const QString exe = u"/usr/lib/dorvane/dorvane"_s;
    const QString program = u"/usr/lib/dorvane/"_s;
    const std::vector<Row> rows{
        {"writable folder keeps everything beside the program",
         true,
         {u"/home/ann"_s, u"/data"_s, u"/config"_s},
         program + u"events.ini"_s,
         program + u"dorvane.ini"_s},
        {"read-only folder, XDG variables set",
         false,
         {u"/home/ann"_s, u"/data"_s, u"/config/"_s},
         u"/data/dorvane/events.ini"_s,
         u"/config/dorvane/dorvane.ini"_s},
        {"read-only folder, XDG variables unset",
         false,
         {u"/home/ann"_s, {}, {}},
         u"/home/ann/.local/share/dorvane/events.ini"_s,
         u"/home/ann/.config/dorvane/dorvane.ini"_s},
        {"relative XDG variables are invalid and ignored",
         false,
         {u"/home/ann"_s, u"data"_s, u"./config"_s},
         u"/home/ann/.local/share/dorvane/events.ini"_s,
         u"/home/ann/.config/dorvane/dorvane.ini"_s},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ProgramFolder place = ProgramFolder::choose(exe, row.writable, row.environment);
        EXPECT_EQ(place.eventsFile, row.events);
        EXPECT_EQ(place.settingsFile, row.settings);
        // The lock guards the events file, wherever it is.
        EXPECT_EQ(place.lockFile,
                  row.events.left(row.events.lastIndexOf(u'/') + 1) + u".events.ini.lock"_s);
        EXPECT_EQ(place.executable, exe);
        EXPECT_EQ(place.folder, program);
        EXPECT_EQ(place.languageFolder, program + u"language/"_s);
        EXPECT_EQ(place.defaultSound, program + u"sounds/alarm.wav"_s);
    }
}

} // namespace
