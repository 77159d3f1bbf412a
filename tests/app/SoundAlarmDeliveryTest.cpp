#include "app/SoundAlarmDelivery.h"

#include "media/Mp3Player.h"
#include "platform/WaveSound.h"
#include "platform/gstreamer/GstMediaDevice.h"
#include "support/AppFakes.h"
#include "support/FakeShell.h"
#include "support/ToneWave.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct FakeWave : WaveSound
{
    void play(const QByteArray& path) override { played << path; }
    QByteArrayList played;
};

TEST(SoundAlarmDeliveryTest, ExtensionIsFromTheLastDotOfTheName)
{
    const struct
    {
        const char* path;
        const char* ext;
    } cases[] = {{"/a/b/tune.mp3", ".mp3"}, {"/a/b/tune.tar.WAV", ".WAV"},
                 {"/a/b.d/tune", ""},       {"tune.", "."},
                 {"/a/.hidden", ".hidden"}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(SoundAlarmDelivery::extensionOf(QLatin1String(c.path)), QLatin1String(c.ext))
            << c.path;
}

class DeliveryTest : public ::testing::Test
{
protected:
    DeliveryTest()
    {
        EXPECT_TRUE(writeToneWave(path("tone.WAV"), 300));
        EXPECT_TRUE(writeToneWave(path("long.mp3"), 3000)); // any container the player can read
        QFile broken(path("broken.mp3"));
        EXPECT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("this is not a sound\n");
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QByteArray local(const char* name) const { return QFile::encodeName(path(name)); }
    Event event(const char* title, const char* sound, const char* extra = "")
    {
        Event e;
        e.title = QLatin1String(title);
        e.soundFile = *sound ? path(sound) : QString();
        e.extraFile = QLatin1String(extra);
        return e;
    }

    QTemporaryDir dir;
    FakeWave wave;
    FakeShell shell;
    GstMediaDeviceFactory devices{GstMediaOptions{u"fakesink sync=true"_s}};
    SoundAlarmDelivery delivery{wave, shell, devices, u"/default/alarm.wav"_s};
};

TEST_F(DeliveryTest, WaveOnlyForLowerCaseWavAndMp3StoppedAfterTheMessage)
{
    delivery.startSound(event("silent", ""));
    EXPECT_TRUE(delivery.lastSoundExt().isEmpty());
    delivery.startSound(event("wave", "a.wav"));
    EXPECT_EQ(wave.played, QByteArrayList{local("a.wav")});

    delivery.startSound(event("capitals", "tone.WAV"));
    ASSERT_NE(delivery.alarmPlayer(), nullptr);
    EXPECT_EQ(delivery.alarmPlayer()->state(), PlayerMode::Playing);
    delivery.afterMessage(); // ".WAV" is not ".mp3": plays on
    EXPECT_EQ(delivery.alarmPlayer()->state(), PlayerMode::Playing);

    delivery.startSound(event("mp3", "long.mp3"));
    EXPECT_EQ(delivery.playersPlayingOn(), 1u); // the earlier player is not cut off
    delivery.startSound(event("none after", ""));
    delivery.afterMessage(); // the last sound of any event decides
    EXPECT_EQ(delivery.alarmPlayer()->state(), PlayerMode::Unknown);

    // The earlier player reaches its end and is released then.
    QElapsedTimer waited;
    waited.start();
    while (delivery.playersPlayingOn() > 0 && waited.elapsed() < 3000)
        QTest::qWait(20);
    EXPECT_EQ(delivery.playersPlayingOn(), 0u);
    EXPECT_TRUE(delivery.takeErrors().isEmpty());
}

// Names read from the events file in an 8-bit code page reach the player, the wave sound and the
// shell as the bytes they are; a name the user changed is UTF-8.
TEST_F(DeliveryTest, NamesThatAreNotUtf8AreUsedAsTheirBytes)
{
    const QByteArray folder = QFile::encodeName(dir.path()) + "/Caf\xE9";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const QByteArray tone = folder + "/R\xE9veil.WAV"; // through the player, not the wave sound
    ASSERT_TRUE(writeFileBytes(tone, toneWave(2000)));
    Event e;
    e.soundFile = e.stored.decode(TextField::SoundFile, tone.toStdString());
    e.extraFile = e.stored.decode(TextField::ExtraFile, "/home/u/Re\xE7u.pdf");
    EXPECT_EQ(e.extraFile, u"/home/u/Re\u00E7u.pdf"_s);

    delivery.startSound(e);
    EXPECT_TRUE(delivery.takeErrors().isEmpty());
    ASSERT_NE(delivery.alarmPlayer(), nullptr);
    EXPECT_EQ(delivery.alarmPlayer()->state(), PlayerMode::Playing);
    EXPECT_EQ(delivery.alarmPlayer()->fileName(), u"R\u00E9veil"_s);
    delivery.alarmPlayer()->stop();
    EXPECT_TRUE(wave.played.isEmpty());

    e.soundFile.chop(4);
    e.soundFile += u".wav"_s;
    delivery.startSound(e);
    delivery.openExtraFile(e);
    e.extraFile = u"/home/u/Re\u00E7u 2.pdf"_s;
    delivery.openExtraFile(e);
    EXPECT_EQ(wave.played,
              QByteArrayList{QFile::encodeName(dir.path()) + "/Caf\xC3\xA9/R\xC3\xA9veil.wav"});
    EXPECT_EQ(shell.openedFiles,
              (QByteArrayList{"/home/u/Re\xE7u.pdf", "/home/u/Re\xC3\xA7u 2.pdf"}));
}

std::size_t openFiles()
{
    return static_cast<std::size_t>(
        QDir(u"/proc/self/fd"_s)
            .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)
            .size());
}

// Each alarm builds a pipeline to measure the file and one to play it; both go with the alarm,
// and their files with them, however many alarms come.
TEST_F(DeliveryTest, ManyMp3AlarmsKeepOpenFilesFlat)
{
    const QString lame = QStandardPaths::findExecutable(u"lame"_s);
    if (lame.isEmpty())
        GTEST_SKIP() << "lame is not installed (Debian package lame)";
    QProcess encode;
    encode.start(lame, {u"--quiet"_s, u"-b"_s, u"128"_s, path("tone.WAV"), path("tone.mp3")});
    ASSERT_TRUE(encode.waitForFinished(20000));
    ASSERT_EQ(encode.exitCode(), 0);
    const Event alarm = event("mp3", "tone.mp3");
    const auto ring = [&](int times) {
        for (int i = 0; i < times; ++i) {
            delivery.startSound(alarm);
            QCoreApplication::processEvents();
            delivery.afterMessage();
        }
        QTest::qWait(50); // whatever was queued on the way
    };
    ring(2); // GStreamer's own start: its registry, its first threads
    const std::size_t files = openFiles();

    ring(100);
    EXPECT_TRUE(delivery.takeErrors().isEmpty());
    EXPECT_EQ(delivery.playersPlayingOn(), 0u);
    EXPECT_LE(openFiles(), files + 2);
}

TEST_F(DeliveryTest, BrokenSoundFallsBackAndTheWholeTickIsDelivered)
{
    AppFixture app;
    ReminderBook book(app.clock, ProgramFolder::ofExecutable(app.exe()));
    auto form = std::make_unique<MainWindow>(
        book, MainWindowServices{app.clock, app.boxes, app.fileDialogs, app.autoStart, delivery,
                                 app.shell, app.notifier, app.qtTranslations,
                                 std::make_unique<NoTrayBackend>()});
    form->startUp();
    const QString today = u"08.12.2026"_s;
    for (Event e :
         {event("one", "a.wav", "/docs/one.pdf"), event("two", "broken.mp3", "/docs/two.pdf"),
          event("three", "long.mp3", "/docs/three.pdf")}) {
        e.date = today;
        e.time = u"12:00:01"_s;
        e.status = u"Active"_s;
        e.message = e.title + u" text"_s;
        form->book().add(e);
    }
    app.clock.advance(1);
    form->book().tick();

    EXPECT_EQ(wave.played, (QByteArrayList{local("a.wav"), "/default/alarm.wav"}));
    EXPECT_EQ(shell.openedFiles,
              (QByteArrayList{"/docs/one.pdf", "/docs/two.pdf", "/docs/three.pdf"}));
    ASSERT_EQ(app.boxes.calls.size(), 2u);
    EXPECT_EQ(app.boxes.calls[0].kind, FakeMessageBoxes::Kind::Message);
    for (const char* title : {"one", "two", "three"})
        EXPECT_TRUE(app.boxes.calls[0].text.contains(QLatin1String(title) + u"\r\r"_s));
    EXPECT_EQ(app.boxes.calls[1].kind, FakeMessageBoxes::Kind::Error);
    EXPECT_TRUE(app.boxes.calls[1].text.contains(u" - "_s)) << qPrintable(app.boxes.calls[1].text);
    // The message closed with ".mp3" the last sound: the third event's player was stopped.
    EXPECT_EQ(delivery.alarmPlayer()->state(), PlayerMode::Unknown);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(form->book().events()[i].status, u"Done"_s);
}

} // namespace
