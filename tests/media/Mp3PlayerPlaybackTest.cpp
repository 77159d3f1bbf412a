// Real playback through GStreamer into a fake sink that runs in real time.
#include "media/Mp3Player.h"
#include "platform/gstreamer/GstMediaDevice.h"
#include "support/ToneWave.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>

namespace {

class PlayerPlayback : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    GstMediaDeviceFactory devices{GstMediaOptions{QStringLiteral("fakesink sync=true")}};

    QString wav(const QString& name, double seconds)
    {
        QString path = dir.filePath(name);
        EXPECT_TRUE(writeToneWave(path, static_cast<int>(seconds * 1000)));
        return path;
    }

    // An MP3 made by lame from a generated WAV; empty when lame is not installed.
    QString mp3(const QString& name, double seconds, const QStringList& options)
    {
        const QString lame = QStandardPaths::findExecutable("lame");
        if (lame.isEmpty())
            return {};
        const QString source = wav(name + ".wav", seconds);
        QString path = dir.filePath(name);
        QProcess process;
        process.start(lame, QStringList{"--quiet"} + options + QStringList{source, path});
        EXPECT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 0);
        return path;
    }
};

// The VBR file has no length header: its duration is unknown until playback has gone some way.
TEST_F(PlayerPlayback, LengthIsInWholeSeconds)
{
    for (const QString& path : {wav("a.wav", 2.5), mp3("cbr.mp3", 2.5, {"-b", "128"}),
                                mp3("vbr.mp3", 2.5, {"-V", "5", "-t"})}) {
        if (path.isEmpty())
            continue; // lame missing
        EXPECT_EQ(Mp3Player(path, devices).lengthInSeconds(), 2) << qPrintable(path);
    }
}

TEST_F(PlayerPlayback, UnplayableFilesFailWithTheirError)
{
    const std::pair<QByteArray, const char*> cases[] = {
        {"not a sound\n",
         "304 - The file cannot be played: it is damaged or not in a known format"},
        {"", "286 - The file contains no sound data"}};
    const QString path = dir.filePath("bad.mp3");
    for (const auto& [bytes, message] : cases) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        EXPECT_THAT([&] { Mp3Player player(path, devices); },
                    testing::ThrowsMessage<MediaDeviceError>(message));
    }
    // The player never gets this far with a missing file (its tag read fails first).
    EXPECT_EQ(devices.createDevice()->open(QFile::encodeName(dir.filePath("missing.mp3"))),
              MediaError::FileNotFound);
}

TEST_F(PlayerPlayback, EndOfFileStopsBeforeOnPlayEnd)
{
    std::vector<QString> files{wav("short.wav", 0.4)};
    if (QString path = mp3("short.mp3", 0.4, {"-b", "64"}); !path.isEmpty())
        files.push_back(path);
    for (const QString& path : files) {
        Mp3Player player(path, devices);
        std::vector<PlayerMode> statesAtEnd;
        player.onPlayEnd = [&](Mp3Player* sender) { statesAtEnd.push_back(sender->state()); };
        player.play();
        EXPECT_EQ(player.state(), PlayerMode::Playing);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !statesAtEnd.empty(); }, 3000))
            << path.toStdString();
        EXPECT_THAT(statesAtEnd, ::testing::ElementsAre(PlayerMode::Unknown));
        EXPECT_EQ(player.state(), PlayerMode::Unknown);
    }
}

TEST_F(PlayerPlayback, ProgressArrivesEverySecondAndRestsWhilePaused)
{
    Mp3Player player(wav("a.wav", 2.5), devices);
    std::vector<std::pair<qint64, int>> reports; // (ms since Play, seconds)
    QElapsedTimer clock;
    player.onProgress = [&](Mp3Player*, int seconds) {
        reports.emplace_back(clock.elapsed(), seconds);
    };
    clock.start();
    player.play();
    QTest::qWait(1300);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_LT(reports[0].first, 200);
    EXPECT_EQ(reports[0].second, 0);
    EXPECT_NEAR(static_cast<double>(reports[1].first), 1000.0, 250.0);
    EXPECT_EQ(reports[1].second, 1);

    player.pause();
    QTest::qWait(1000);
    EXPECT_EQ(reports.size(), 2u);
    player.resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 3; }, 300));
    EXPECT_EQ(reports[2].second, 1) << "the sound stood still while paused";
    player.stop();
    QTest::qWait(100);
    EXPECT_EQ(reports.size(), 3u);
}

} // namespace
