#pragma once

#include "platform/WaveSound.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

// GStreamer's own names for the structs, declared here to keep its headers out of ours.
typedef struct _GstBus GstBus;         // NOLINT(bugprone-reserved-identifier)
typedef struct _GstElement GstElement; // NOLINT(bugprone-reserved-identifier)

/// Wave sounds through a GStreamer playbin: play() returns at once, the file plays to its end,
/// a new play() cuts the old one. A file that cannot be played gives the default sound, and
/// when that fails too, the desktop's beep.
class GstWaveSound : public QObject, public WaveSound
{
    Q_OBJECT
public:
    using Beep = std::function<void()>;

    /// defaultSoundFile: played in place of a file that cannot be played.
    /// sinkDescription: the audio sink as a gst-launch description.
    explicit GstWaveSound(const QString& defaultSoundFile,
                          QString sinkDescription = "autoaudiosink", Beep beep = {},
                          QObject* parent = nullptr);
    ~GstWaveSound() override;
    GstWaveSound(const GstWaveSound&) = delete;
    GstWaveSound& operator=(const GstWaveSound&) = delete;

    void play(const QByteArray& path) override;
    /// Loads GStreamer and builds the pipeline now: the first alarm would wait for that.
    void prepare();
    /// Called once, the first time sound goes nowhere because there is no sound card or server.
    void setNoAudioOutputHandler(std::function<void()> handler);

signals:
    /// A file starts playing: the one asked for, or the default sound in its place.
    void started(const QByteArray& path);
    /// The sound played to its end.
    void finished();

private:
    enum class BusEvent
    {
        Error,
        EndOfStream,
        Prerolled,
        NoAudioOutput
    };

    bool ensurePipeline();
    void start(const QByteArray& path, bool isDefault);
    void fail();
    void stop();
    void handleBusEvent(BusEvent event, int generation);
    friend struct GstWaveSoundBus;

    QByteArray m_defaultSoundPath;
    QString m_sinkDescription;
    Beep m_beep;
    std::function<void()> m_noAudioOutputHandler;
    bool m_noAudioOutputReported = false;
    GstElement* m_pipeline = nullptr;
    GstElement* m_sink = nullptr; // owned by the pipeline
    GstBus* m_bus = nullptr;
    bool m_pipelineFailed = false;
    bool m_playingDefault = false;
    // Tags bus messages with the play() they belong to; read on streaming threads.
    std::atomic<int> m_generation{0};
};
