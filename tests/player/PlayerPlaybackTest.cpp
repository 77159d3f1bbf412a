// Real playback through GStreamer into a fake sink that runs in real time.
#include "media/TcmxMP3.h"
#include "platform/GstMediaDevice.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <gmock/gmock.h>

#include "support/ToneWave.h"

namespace {

void writeWav(const QString& path, double seconds)
{
    ASSERT_TRUE(writeToneWave(path, static_cast<int>(seconds * 1000)));
}

class PlayerPlayback : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    GstMediaDeviceFactory devices{GstMediaOptions{QStringLiteral("fakesink sync=true")}};

    QString wav(const QString& name, double seconds)
    {
        const QString path = dir.filePath(name);
        writeWav(path, seconds);
        return path;
    }

    // An MP3 made by lame from a generated WAV; empty when lame is not installed.
    QString mp3(const QString& name, double seconds, const QStringList& options)
    {
        const QString lame = QStandardPaths::findExecutable("lame");
        if (lame.isEmpty())
            return {};
        const QString source = wav(name + ".wav", seconds);
        const QString path = dir.filePath(name);
        QProcess process;
        process.start(lame, QStringList{"--quiet"} + options + QStringList{source, path});
        EXPECT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 0);
        return path;
    }
};

TEST_F(PlayerPlayback, LengthIsInWholeSeconds)
{
    struct Case
    {
        const char* name;
        QString path;
    };
    const Case cases[] = {
        {"wav", wav("a.wav", 2.5)},
        {"cbr mp3", mp3("cbr.mp3", 2.5, {"-b", "128"})},
        // No length header: the duration is unknown until playback has gone some way.
        {"vbr mp3 without header", mp3("vbr.mp3", 2.5, {"-V", "5", "-t"})},
    };
    for (const Case& c : cases) {
        if (c.path.isEmpty())
            continue; // lame missing
        TcmxMP3 player(c.path, devices);
        EXPECT_EQ(player.getLengthInSeconds(), 2) << c.name;
        EXPECT_EQ(player.getState(), TMPMode::mpUnknown) << c.name;
    }
}

TEST_F(PlayerPlayback, UnplayableFilesFailWithTheirError)
{
    const QString text = dir.filePath("text.mp3");
    const QString empty = dir.filePath("empty.mp3");
    QFile(empty).open(QIODevice::WriteOnly);
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("these are not the sounds you are looking for\n");
    }
    const std::pair<QString, const char*> cases[] = {
        {text, "304 - The file cannot be played: it is damaged or not in a known format"},
        {empty, "286 - The file contains no sound data"},
    };
    for (const auto& [path, message] : cases) {
        try {
            TcmxMP3 player(path, devices);
            ADD_FAILURE() << "constructed " << path.toStdString();
        } catch (const eMciDeviceError& error) {
            EXPECT_STREQ(error.what(), message);
        }
    }
    // The player never gets this far with a missing file (its tag read fails first).
    auto device = devices.createDevice();
    EXPECT_EQ(device->open(dir.filePath("missing.mp3")), MediaError::FileNotFound);
}

TEST_F(PlayerPlayback, EndOfFileStopsBeforeOnPlayEnd)
{
    std::vector<QString> files{wav("short.wav", 0.4)};
    if (QString path = mp3("short.mp3", 0.4, {"-b", "64"}); !path.isEmpty())
        files.push_back(path);
    for (const QString& path : files) {
        TcmxMP3 player(path, devices);
        std::vector<TMPMode> statesAtEnd;
        player.OnPlayEnd = [&](TcmxMP3* sender) { statesAtEnd.push_back(sender->getState()); };
        player.Play();
        EXPECT_EQ(player.getState(), TMPMode::mpPlaying);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !statesAtEnd.empty(); }, 3000))
            << path.toStdString();
        EXPECT_THAT(statesAtEnd, ::testing::ElementsAre(TMPMode::mpUnknown));
        EXPECT_EQ(player.getState(), TMPMode::mpUnknown);
    }
}

TEST_F(PlayerPlayback, PauseFreezesThePosition)
{
    auto device = devices.createDevice();
    ASSERT_EQ(device->open(wav("a.wav", 2.5)), 0);
    ASSERT_EQ(device->play([](MediaNotify) {}), 0);
    QTest::qWait(300);
    ASSERT_EQ(device->pause(), 0);
    std::uint32_t paused = 0;
    std::uint32_t later = 0;
    ASSERT_EQ(device->statusPosition(paused), 0);
    QTest::qWait(300);
    ASSERT_EQ(device->statusPosition(later), 0);
    EXPECT_GT(paused, 150u);
    EXPECT_LE(later - paused, 30u);
    ASSERT_EQ(device->resume(), 0);
    QTest::qWait(200);
    ASSERT_EQ(device->statusPosition(later), 0);
    EXPECT_GT(later, paused + 100);
}

TEST_F(PlayerPlayback, ProgressArrivesEverySecondAndRestsWhilePaused)
{
    TcmxMP3 player(wav("a.wav", 2.5), devices);
    std::vector<std::pair<qint64, int>> reports; // (ms since Play, seconds)
    QElapsedTimer clock;
    player.OnProgress = [&](TcmxMP3*, int seconds) {
        reports.emplace_back(clock.elapsed(), seconds);
    };
    clock.start();
    player.Play();
    QTest::qWait(1300);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_LT(reports[0].first, 200);
    EXPECT_EQ(reports[0].second, 0);
    EXPECT_NEAR(static_cast<double>(reports[1].first), 1000.0, 250.0);
    EXPECT_EQ(reports[1].second, 1);

    player.Pause();
    QTest::qWait(1000);
    EXPECT_EQ(reports.size(), 2u);
    player.Resume();
    EXPECT_TRUE(QTest::qWaitFor([&] { return reports.size() == 3; }, 300));
    player.Stop();
    QTest::qWait(100);
    EXPECT_EQ(reports.size(), 3u);
}

} // namespace
