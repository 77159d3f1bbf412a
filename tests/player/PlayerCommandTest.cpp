// The player's command order, error mapping and notices against a recording device.
#include "media/TcmxMP3.h"
#include "player/FakeMediaDevice.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

using ::testing::ElementsAreArray;
using Log = std::vector<std::string>;

namespace {

class PlayerCommands : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    FakeMediaFactory devices;

    QString makeFile(const QString& name, int size = 300)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
        return path;
    }

    // A player that has been played once, so its device is open; the log starts afresh.
    std::unique_ptr<TcmxMP3> openPlayer(std::uint32_t mode)
    {
        auto player = std::make_unique<TcmxMP3>(makeFile("song.mp3"), devices);
        player->Play();
        devices.mode = mode;
        devices.log.clear();
        return player;
    }
};

constexpr auto kStopped = static_cast<std::uint32_t>(MediaMode::Stopped);
constexpr auto kPlaying = static_cast<std::uint32_t>(MediaMode::Playing);
constexpr auto kPaused = static_cast<std::uint32_t>(MediaMode::Paused);

TEST_F(PlayerCommands, ConstructionMeasuresTheLengthAndAlwaysCloses)
{
    struct Case
    {
        const char* name;
        std::map<std::string, int> answers;
        Log log;
        const char* error; // nullptr: constructed
    };
    const Case cases[] = {
        {"measured", {}, {"open", "timeformat 0", "length", "close"}, nullptr},
        {"open fails", {{"open", 275}}, {"open"}, "275 - Cannot find the specified file"},
        {"length fails",
         {{"length", 999}},
         {"open", "timeformat 0", "length", "close"},
         "999 - Unknown error code"},
        {"time format fails",
         {{"timeformat 0", 293}},
         {"open", "timeformat 0", "close"},
         "293 - Unknown error code"},
    };
    const QString path = makeFile("song.mp3");
    for (const Case& c : cases) {
        devices.log.clear();
        devices.answers = c.answers;
        devices.length = 125'999;
        try {
            TcmxMP3 player(path, devices);
            EXPECT_EQ(c.error, nullptr) << c.name;
            EXPECT_EQ(player.getLengthInSeconds(), 125) << c.name;
            EXPECT_EQ(player.getState(), TMPMode::mpUnknown) << c.name;
        } catch (const eMciDeviceError& error) {
            ASSERT_NE(c.error, nullptr) << c.name;
            EXPECT_STREQ(error.what(), c.error) << c.name;
        }
        EXPECT_THAT(devices.log, ElementsAreArray(c.log)) << c.name;
    }
}

TEST_F(PlayerCommands, MissingFileFailsBeforeTheDevice)
{
    const QString path = dir.filePath("gone.mp3");
    try {
        TcmxMP3 player(path, devices);
        FAIL() << "constructed";
    } catch (const AppError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), "Cannot open file " + path);
    }
    EXPECT_TRUE(devices.log.empty());
}

TEST_F(PlayerCommands, PlayDependsOnTheDeviceState)
{
    struct Case
    {
        const char* name;
        bool open;
        std::uint32_t mode;
        Log log;
    };
    const Case cases[] = {
        {"closed", false, kStopped, {"open", "mode", "play"}},
        {"open and stopped", true, kStopped, {"mode", "play"}},
        {"playing starts again", true, kPlaying, {"mode", "stop", "close", "open", "play"}},
        {"paused plays on", true, kPaused, {"mode", "play"}},
    };
    for (const Case& c : cases) {
        auto player =
            c.open ? openPlayer(c.mode) : std::make_unique<TcmxMP3>(makeFile("song.mp3"), devices);
        devices.mode = c.mode;
        devices.log.clear();
        player->Play();
        EXPECT_THAT(devices.log, ElementsAreArray(c.log)) << c.name;
    }
}

TEST_F(PlayerCommands, StopPauseResumeSendOnlyWhatTheStateAllows)
{
    struct Case
    {
        const char* name;
        bool open;
        std::uint32_t mode;
        void (TcmxMP3::*operation)();
        Log log;
    };
    const Case cases[] = {
        {"stop closed", false, kStopped, &TcmxMP3::Stop, {}},
        {"pause closed", false, kPlaying, &TcmxMP3::Pause, {}},
        {"resume closed", false, kPaused, &TcmxMP3::Resume, {}},
        {"stop open", true, kPlaying, &TcmxMP3::Stop, {"stop", "close"}},
        {"pause playing", true, kPlaying, &TcmxMP3::Pause, {"mode", "pause"}},
        {"pause paused", true, kPaused, &TcmxMP3::Pause, {"mode"}},
        {"resume paused", true, kPaused, &TcmxMP3::Resume, {"mode", "resume"}},
        {"resume playing", true, kPlaying, &TcmxMP3::Resume, {"mode"}},
    };
    for (const Case& c : cases) {
        auto player =
            c.open ? openPlayer(c.mode) : std::make_unique<TcmxMP3>(makeFile("song.mp3"), devices);
        devices.mode = c.mode;
        devices.log.clear();
        ((*player).*c.operation)();
        EXPECT_THAT(devices.log, ElementsAreArray(c.log)) << c.name;
    }
}

TEST_F(PlayerCommands, ModeNumbersMapToPlayerModes)
{
    const std::pair<std::uint32_t, TMPMode> cases[] = {
        {524, TMPMode::mpNotReady},  {525, TMPMode::mpStopped}, {526, TMPMode::mpPlaying},
        {527, TMPMode::mpRecording}, {528, TMPMode::mpSeeking}, {529, TMPMode::mpPaused},
        {530, TMPMode::mpOpen},      {523, TMPMode::mpUnknown}, {531, TMPMode::mpUnknown},
    };
    auto player = openPlayer(kStopped);
    for (const auto& [mode, expected] : cases) {
        devices.mode = mode;
        EXPECT_EQ(player->getState(), expected) << mode;
    }
    EXPECT_EQ(static_cast<int>(TMPMode::mpUnknown), 7);
    EXPECT_EQ(static_cast<int>(TMPTimeFormat::tfTMSF), 10);
}

TEST_F(PlayerCommands, OnlyASuccessfulNoticeEndsPlayback)
{
    struct Case
    {
        MediaNotify flag;
        bool ends;
    };
    const Case cases[] = {{MediaNotify::Successful, true},
                          {MediaNotify::Superseded, false},
                          {MediaNotify::Aborted, false},
                          {MediaNotify::Failure, false}};
    for (const Case& c : cases) {
        auto player = openPlayer(kPlaying);
        std::vector<TMPMode> statesAtEnd;
        player->OnPlayEnd = [&](TcmxMP3* sender) { statesAtEnd.push_back(sender->getState()); };
        devices.lastNotify(c.flag);
        EXPECT_TRUE(devices.log.empty()) << "the notice is queued, not run inside the device";
        QCoreApplication::processEvents();
        if (c.ends) {
            EXPECT_THAT(devices.log, ElementsAreArray(Log{"stop", "close"}));
            EXPECT_THAT(statesAtEnd, ElementsAreArray({TMPMode::mpUnknown}));
        } else {
            EXPECT_TRUE(devices.log.empty()) << static_cast<int>(c.flag);
            EXPECT_TRUE(statesAtEnd.empty()) << static_cast<int>(c.flag);
        }
    }
}

TEST_F(PlayerCommands, NoticeOfAnEarlierPlayIsDropped)
{
    auto player = openPlayer(kPlaying);
    const MediaNotifyHandler earlier = devices.lastNotify;
    int ends = 0;
    player->OnPlayEnd = [&](TcmxMP3*) { ++ends; };
    player->Stop();
    player->Play();
    devices.log.clear();
    earlier(MediaNotify::Successful);
    QCoreApplication::processEvents();
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(devices.log.empty());
}

TEST_F(PlayerCommands, FailureInsideANoticeIsReported)
{
    auto player = openPlayer(kPlaying);
    devices.answers = {{"stop", 999}};
    devices.lastNotify(MediaNotify::Successful);
    QCoreApplication::processEvents();
    EXPECT_THAT(devices.reported, ElementsAreArray({QStringLiteral("999 - Unknown error code")}));
}

TEST_F(PlayerCommands, ProgressStepReportsWholeSeconds)
{
    auto player = openPlayer(kPlaying);
    std::vector<int> reports;
    player->OnProgress = [&](TcmxMP3*, int seconds) { reports.push_back(seconds); };
    devices.position = 59'999;
    player->OnProgressTimer(nullptr);
    player->Stop();
    player->OnProgressTimer(nullptr); // closed: nothing sent, 0 seconds
    EXPECT_THAT(reports, ElementsAreArray({59, 0}));
    EXPECT_THAT(devices.log, ElementsAreArray(Log{"timeformat 0", "position", "stop", "close"}));
}

TEST_F(PlayerCommands, ChgFilePathMovesWithoutReplacing)
{
    const QString source = makeFile("song.wav");
    TcmxMP3 player(source, devices);
    ASSERT_TRUE(QDir(dir.path()).mkdir("target"));
    const QString targetDir = dir.filePath("target");
    makeFile("target/taken.mp3");

    EXPECT_FALSE(player.ChgFilePath(targetDir, "taken"));
    EXPECT_EQ(player.getFilePath() + player.getFileName(), dir.path() + "/song");
    EXPECT_TRUE(QFile::exists(source));

    ASSERT_TRUE(player.ChgFilePath(targetDir + "/", "moved"));
    EXPECT_EQ(player.getFilePath(), targetDir + "/");
    EXPECT_EQ(player.getFileName(), "moved");
    EXPECT_TRUE(QFile::exists(targetDir + "/moved.mp3"));
    EXPECT_FALSE(QFile::exists(source));

    ASSERT_TRUE(player.ChgFilePath(dir.path(), "back.up"));
    EXPECT_TRUE(QFile::exists(dir.filePath("back.up.mp3")));
    EXPECT_EQ(player.getFileName(), "back.up");
}

TEST_F(PlayerCommands, ChgID3WritesCutFieldsAndKeepsTheCopyReadAtConstruction)
{
    const QString path = makeFile("song.mp3");
    TcmxMP3 player(path, devices);
    player.ChgID3(QString(35, 'T'), "Artist", "Album", "Comment", 2005, 7, 147);
    EXPECT_EQ(player.getTitle(), "");

    TcmxMP3 reread(path, devices);
    EXPECT_EQ(reread.getTitle(), QString(30, 'T'));
    EXPECT_EQ(reread.getArtist(), "Artist");
    EXPECT_EQ(reread.getYear(), "2005");
    EXPECT_EQ(reread.getComment(), "Comment");
    EXPECT_EQ(reread.getTrack(), 7);
    EXPECT_EQ(reread.getGenreText(reread.getGenreNdx()), "Synthpop");
    EXPECT_EQ(QFileInfo(path).size(), 300 + 128);
}

} // namespace
