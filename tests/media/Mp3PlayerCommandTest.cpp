// The player's command order, error mapping and notices against a recording device.
#include "media/Mp3Player.h"
#include "platform/MediaDevice.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <map>

namespace {

using testing::ThrowsMessage;

constexpr auto kStopped = static_cast<std::uint32_t>(MediaMode::Stopped);
constexpr auto kPlaying = static_cast<std::uint32_t>(MediaMode::Playing);
constexpr auto kPaused = static_cast<std::uint32_t>(MediaMode::Paused);

/// Logs every device command as "open|mode|play" and answers with the codes a test chose.
class FakeMediaFactory final : public MediaDeviceFactory
{
public:
    std::string log;
    std::map<std::string, int> answers; // command -> error number
    std::uint32_t mode = kStopped, length = 0;
    MediaNotifyHandler lastNotify;
    std::vector<QString> reported;

    [[nodiscard]] std::unique_ptr<MediaDevice> createDevice() override;
    [[nodiscard]] std::optional<QString> errorText(int code) const override
    {
        if (code == MediaError::FileNotFound)
            return QStringLiteral("Cannot find the specified file");
        return std::nullopt;
    }
    void reportError(const QString& message) override { reported.push_back(message); }
    int answer(const std::string& command)
    {
        log += (log.empty() ? "" : "|") + command;
        return answers.contains(command) ? answers.at(command) : 0;
    }
};

class FakeMediaDevice final : public MediaDevice
{
public:
    explicit FakeMediaDevice(FakeMediaFactory& factory) : m_f(factory) {}

    int open(const QByteArray&) override { return m_f.answer("open"); }
    int close() override { return m_f.answer("close"); }
    int play(MediaNotifyHandler onNotify) override
    {
        m_f.lastNotify = std::move(onNotify);
        return m_f.answer("play");
    }
    int stop() override { return m_f.answer("stop"); }
    int pause() override { return m_f.answer("pause"); }
    int resume() override { return m_f.answer("resume"); }
    int setTimeFormat(int format) override
    {
        return m_f.answer("timeformat " + std::to_string(format));
    }
    int statusLength(std::uint32_t& value) override { return status(value, m_f.length, "length"); }
    int statusPosition(std::uint32_t& value) override { return status(value, 0, "position"); }
    int statusMode(std::uint32_t& value) override { return status(value, m_f.mode, "mode"); }
    std::uint16_t deviceId() const override { return 7; }

private:
    int status(std::uint32_t& value, std::uint32_t answer, const std::string& command)
    {
        value = answer;
        return m_f.answer(command);
    }
    FakeMediaFactory& m_f;
};

std::unique_ptr<MediaDevice> FakeMediaFactory::createDevice()
{
    return std::make_unique<FakeMediaDevice>(*this);
}

class PlayerCommands : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    FakeMediaFactory devices;
    const QString song = makeFile("song.mp3");

    QString makeFile(const QString& name)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(300, 'x'));
        return file.fileName();
    }

    // A player that has been played once, so its device is open; the log starts afresh.
    std::unique_ptr<Mp3Player> openPlayer(std::uint32_t mode)
    {
        auto player = std::make_unique<Mp3Player>(song, devices);
        player->play();
        devices.mode = mode;
        devices.log.clear();
        return player;
    }
};

TEST_F(PlayerCommands, ConstructionMeasuresTheLengthAndAlwaysCloses)
{
    const struct
    {
        std::map<std::string, int> answers;
        std::string log;
        const char* error; // nullptr: constructed
    } cases[] = {
        {{}, "open|timeformat 0|length|close", nullptr},
        {{{"open", 275}}, "open", "275 - Cannot find the specified file"},
        {{{"length", 999}}, "open|timeformat 0|length|close", "999 - Unknown error code"},
    };
    devices.length = 125'999;
    for (const auto& c : cases) {
        devices.log.clear();
        devices.answers = c.answers;
        if (c.error)
            EXPECT_THAT([&] { Mp3Player player(song, devices); },
                        ThrowsMessage<MediaDeviceError>(c.error));
        else
            EXPECT_EQ(Mp3Player(song, devices).lengthInSeconds(), 125);
        EXPECT_EQ(devices.log, c.log);
    }

    devices.log.clear();
    const QString gone = dir.filePath("gone.mp3");
    EXPECT_THAT([&] { Mp3Player player(gone, devices); },
                ThrowsMessage<AppError>(("Cannot open file " + gone).toStdString()));
    EXPECT_EQ(devices.log, "") << "a missing file fails before the device";
}

TEST_F(PlayerCommands, EachCommandSendsOnlyWhatTheDeviceStateAllows)
{
    const struct
    {
        bool open;
        std::uint32_t mode;
        void (Mp3Player::*operation)();
        const char* log;
    } cases[] = {
        {false, kStopped, &Mp3Player::play, "open|mode|play"},
        {true, kStopped, &Mp3Player::play, "mode|play"},
        {true, kPlaying, &Mp3Player::play, "mode|stop|close|open|play"}, // from the beginning
        {true, kPaused, &Mp3Player::play, "mode|play"},
        {false, kStopped, &Mp3Player::stop, ""},
        {false, kPlaying, &Mp3Player::pause, ""},
        {false, kPaused, &Mp3Player::resume, ""},
        {true, kPlaying, &Mp3Player::stop, "stop|close"},
        {true, kPlaying, &Mp3Player::pause, "mode|pause"},
        {true, kPaused, &Mp3Player::pause, "mode"},
        {true, kPaused, &Mp3Player::resume, "mode|resume"},
        {true, kPlaying, &Mp3Player::resume, "mode"},
    };
    for (const auto& c : cases) {
        auto player = c.open ? openPlayer(c.mode) : std::make_unique<Mp3Player>(song, devices);
        devices.mode = c.mode;
        devices.log.clear();
        ((*player).*c.operation)();
        EXPECT_EQ(devices.log, c.log) << "row " << &c - cases;
    }
}

// Only a successful notice of the latest play stops the player, and before onPlayEnd runs.
TEST_F(PlayerCommands, OnlyASuccessfulNoticeOfTheLatestPlayEndsPlaybackFailuresAreShown)
{
    using enum MediaNotify;
    for (const MediaNotify flag : {Successful, Superseded, Aborted, Failure}) {
        auto player = openPlayer(kPlaying);
        std::vector<PlayerMode> statesAtEnd;
        player->onPlayEnd = [&](Mp3Player* sender) { statesAtEnd.push_back(sender->state()); };
        devices.lastNotify(flag);
        EXPECT_EQ(devices.log, "") << "the notice is queued, not run inside the device";
        QCoreApplication::processEvents();
        const bool ends = flag == Successful;
        EXPECT_EQ(devices.log, ends ? "stop|close" : "") << static_cast<int>(flag);
        EXPECT_EQ(statesAtEnd, std::vector<PlayerMode>(ends ? 1 : 0, PlayerMode::Unknown));
    }

    auto player = openPlayer(kPlaying);
    const MediaNotifyHandler earlier = devices.lastNotify;
    player->onPlayEnd = [](Mp3Player*) { ADD_FAILURE() << "ended by an earlier play's notice"; };
    player->stop();
    player->play();
    devices.log.clear();
    earlier(Successful);
    QCoreApplication::processEvents();
    EXPECT_EQ(devices.log, "");

    // Nothing above the notice catches: its failure is shown from here.
    devices.answers = {{"stop", 999}};
    devices.lastNotify(Successful);
    QCoreApplication::processEvents();
    EXPECT_EQ(devices.reported, std::vector<QString>{"999 - Unknown error code"});
}

TEST_F(PlayerCommands, ChgFilePathMovesWithoutReplacing)
{
    Mp3Player player(makeFile("song.wav"), devices);
    ASSERT_TRUE(QDir(dir.path()).mkdir("target"));
    const QString target = dir.filePath("target");
    makeFile("target/taken.mp3");

    EXPECT_FALSE(player.moveFile(target, "taken"));
    EXPECT_EQ(player.filePath() + player.fileName(), dir.path() + "/song");
    EXPECT_TRUE(QFile::exists(dir.filePath("song.wav")));

    ASSERT_TRUE(player.moveFile(target + "/", "moved.up"));
    EXPECT_EQ(player.filePath(), target + "/");
    EXPECT_EQ(player.fileName(), "moved.up");
    EXPECT_TRUE(QFile::exists(target + "/moved.up.mp3"));
    EXPECT_FALSE(QFile::exists(dir.filePath("song.wav")));
}

TEST_F(PlayerCommands, ChgID3WritesCutFieldsAndKeepsTheCopyReadAtConstruction)
{
    Mp3Player player(song, devices);
    player.changeTag(QString(35, 'T'), "Artist", "Album", "Comment", 2005, 7, 147);
    EXPECT_EQ(player.title(), "");

    Mp3Player reread(song, devices);
    EXPECT_EQ(reread.title(), QString(30, 'T'));
    EXPECT_EQ(reread.artist() + reread.album() + reread.comment(), "ArtistAlbumComment");
    EXPECT_EQ(reread.year(), "2005");
    EXPECT_EQ(reread.track(), 7);
    EXPECT_EQ(reread.genreText(reread.genreIndex()), "Synthpop");
}

} // namespace
