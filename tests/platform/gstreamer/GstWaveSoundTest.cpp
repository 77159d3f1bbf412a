// The wave sound through GStreamer, played into a fakesink that keeps real time.
#include "platform/gstreamer/GstWaveSound.h"

#include "support/ToneWave.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class GstWaveSoundTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::pair<const char*, QByteArray> files[] = {
            {"short.wav", toneWave(200)},
            {"long.wav", toneWave(4000)},
            {"default.wav", toneWave(300)},
            {"text.wav", "not a sound at all, just words"},
            {"empty.wav", {}}};
        for (const auto& [name, bytes] : files) {
            QFile file(path(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(bytes), bytes.size());
        }
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray local(const QString& name) const { return QFile::encodeName(path(name)); }

    std::unique_ptr<GstWaveSound> makeSound(const QString& defaultName)
    {
        return std::make_unique<GstWaveSound>(path(defaultName), "fakesink sync=true",
                                              [this] { ++m_beeps; });
    }

    static QStringList startedFiles(const QSignalSpy& spy)
    {
        QStringList files;
        for (const auto& arguments : spy)
            files << QFileInfo(arguments.at(0).toString()).fileName();
        return files;
    }

    QTemporaryDir m_dir;
    int m_beeps = 0;
};

TEST_F(GstWaveSoundTest, ReturnsAtOnceAndPlaysToTheEndUnlessANewSoundCutsIt)
{
    auto sound = makeSound("default.wav");
    QSignalSpy started(sound.get(), &GstWaveSound::started);
    QSignalSpy finished(sound.get(), &GstWaveSound::finished);
    sound->play(local("short.wav")); // the first play pays for starting GStreamer
    ASSERT_TRUE(finished.wait(5000));

    QElapsedTimer clock;
    clock.start();
    sound->play(local("long.wav"));
    EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_GE(clock.elapsed(), 3500) << "ended before the wave did";

    clock.restart();
    sound->play(local("long.wav"));
    QTest::qWait(300);
    sound->play(local("short.wav"));
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_LT(clock.elapsed(), 3000) << "the long wave was not cut";
    QTest::qWait(500);
    EXPECT_EQ(finished.count(), 3);
    EXPECT_EQ(startedFiles(started),
              QStringList({"short.wav", "long.wav", "long.wav", "short.wav"}));
    EXPECT_EQ(m_beeps, 0);
}

TEST_F(GstWaveSoundTest, UnplayableFilesGiveTheDefaultSoundThenTheBeep)
{
    const struct
    {
        const char* file;
        const char* defaultFile;
        QStringList started;
        int beeps;
    } cases[] = {
        {"missing.wav", "default.wav", {"missing.wav", "default.wav"}, 0},
        {"text.wav", "default.wav", {"text.wav", "default.wav"}, 0},
        {"empty.wav", "default.wav", {"empty.wav", "default.wav"}, 0},
        {"", "default.wav", {"", "default.wav"}, 0},
        {"missing.wav", "gone.wav", {"missing.wav", "gone.wav"}, 1},
        {"text.wav", "empty.wav", {"text.wav", "empty.wav"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " / " + c.defaultFile);
        m_beeps = 0;
        auto sound = makeSound(c.defaultFile);
        QSignalSpy started(sound.get(), &GstWaveSound::started);
        QSignalSpy finished(sound.get(), &GstWaveSound::finished);
        sound->play(*c.file ? local(c.file) : QByteArray());
        if (c.beeps == 0) {
            EXPECT_TRUE(finished.wait(5000));
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(m_beeps, c.beeps, 5000);
            QTest::qWait(300); // a loop would go on starting sounds
            EXPECT_EQ(finished.count(), 0);
        }
        EXPECT_EQ(startedFiles(started), c.started);
        EXPECT_EQ(m_beeps, c.beeps);
    }
}

// A name stored in an 8-bit code page is played from its own bytes, not replaced by the default.
TEST_F(GstWaveSoundTest, PlaysAFileWhoseNameIsNotUtf8)
{
    const QByteArray latin1 = QFile::encodeName(m_dir.path()) + "/R\xE9veil.wav";
    ASSERT_TRUE(writeFileBytes(latin1, toneWave(200)));
    auto sound = makeSound("default.wav");
    QSignalSpy started(sound.get(), &GstWaveSound::started);
    QSignalSpy finished(sound.get(), &GstWaveSound::finished);
    sound->play(latin1);
    ASSERT_TRUE(finished.wait(5000));
    ASSERT_EQ(started.count(), 1);
    EXPECT_EQ(started.at(0).at(0).toByteArray(), latin1);
    EXPECT_EQ(m_beeps, 0);
}

TEST_F(GstWaveSoundTest, DestroyedWhilePlaying)
{
    auto sound = makeSound("default.wav");
    sound->play(local("long.wav"));
    QTest::qWait(300);
    sound->play(local("text.wav")); // leaves an error on its way to this object
    sound.reset();
    QTest::qWait(100);
    EXPECT_EQ(m_beeps, 0);
}

TEST_F(GstWaveSoundTest, MissingSoundOutputIsReportedOnce)
{
    GstWaveSound sound(path("default.wav"), "autoaudiosink", [this] { ++m_beeps; });
    int reports = 0;
    sound.setNoAudioOutputHandler([&reports] { ++reports; });
    QSignalSpy finished(&sound, &GstWaveSound::finished);
    for (const char* file : {"short.wav", "default.wav"}) {
        sound.play(local(file));
        ASSERT_TRUE(finished.wait(5000)) << file << " did not play into the fallback sink";
    }
    if (reports == 0)
        GTEST_SKIP() << "this machine has a sound output";
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(m_beeps, 0);
}

} // namespace
