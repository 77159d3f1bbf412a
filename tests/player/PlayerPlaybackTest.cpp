// Real playback through GStreamer into a fake sink that runs in real time.
#include "media/TcmxMP3.h"
#include "platform/GstMediaDevice.h"
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
        const QString path = dir.filePath(name);
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
        const QString path = dir.filePath(name);
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
        EXPECT_EQ(TcmxMP3(path, devices).getLengthInSeconds(), 2) << qPrintable(path);
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
        EXPECT_THAT([&] { TcmxMP3 player(path, devices); },
                    testing::ThrowsMessage<eMciDeviceError>(message));
    }
    // The player never gets this far with a missing file (its tag read fails first).
    EXPECT_EQ(devices.createDevice()->open(dir.filePath("missing.mp3")), MediaError::FileNotFound);
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 3; }, 300));
    EXPECT_EQ(reports[2].second, 1) << "the sound stood still while paused";
    player.Stop();
    QTest::qWait(100);
    EXPECT_EQ(reports.size(), 3u);
}

} // namespace
