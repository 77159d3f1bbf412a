#include "platform/gstreamer/GstWaveSound.h"

#include "base/AppError.h"
#include "platform/gstreamer/GStreamerInit.h"

#include <QApplication>
#include <QFile>
#include <gst/gst.h>
#include <optional>
#include <sys/stat.h>

namespace {

// playbin's GstPlayFlags are not in a public header: audio and software volume only, so a
// video track in the file opens no window.
constexpr int PlayFlagAudio = 0x2;
constexpr int PlayFlagSoftVolume = 0x10;

} // namespace

/// Runs on GStreamer's threads: turns the messages we care about into queued calls on the
/// object's own thread, so no GLib main loop is needed.
struct GstWaveSoundBus
{
    static GstBusSyncReply onMessage(GstBus*, GstMessage* message, gpointer data)
    {
        auto* self = static_cast<GstWaveSound*>(data);
        std::optional<GstWaveSound::BusEvent> event;
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR:
            event = GstWaveSound::BusEvent::Error;
            break;
        case GST_MESSAGE_EOS:
            event = GstWaveSound::BusEvent::EndOfStream;
            break;
        case GST_MESSAGE_ASYNC_DONE:
            if (GST_MESSAGE_SRC(message) == GST_OBJECT(self->m_pipeline))
                event = GstWaveSound::BusEvent::Prerolled;
            break;
        case GST_MESSAGE_WARNING:
            if (isNoAudioOutput(self, message))
                event = GstWaveSound::BusEvent::NoAudioOutput;
            break;
        default:
            break;
        }
        if (event) {
            const int generation = self->m_generation.load();
            QMetaObject::invokeMethod(
                self, [self, e = *event, generation] { self->handleBusEvent(e, generation); },
                Qt::QueuedConnection);
        }
        // Nobody pops the bus: keeping messages would only pile them up. Dropped, it is ours
        // to release.
        gst_message_unref(message);
        return GST_BUS_DROP;
    }

    /// autoaudiosink without a sound card or server plays into a fakesink and warns once.
    static bool isNoAudioOutput(GstWaveSound* self, GstMessage* message)
    {
        GstObject* source = GST_MESSAGE_SRC(message);
        if (source != GST_OBJECT(self->m_sink) &&
            !gst_object_has_as_ancestor(source, GST_OBJECT(self->m_sink)))
            return false;
        GError* error = nullptr;
        gst_message_parse_warning(message, &error, nullptr);
        const bool resource = error && error->domain == GST_RESOURCE_ERROR;
        g_clear_error(&error);
        return resource;
    }
};

GstWaveSound::GstWaveSound(const QString& defaultSoundFile, QString sinkDescription, Beep beep,
                           QObject* parent)
    : QObject(parent), m_defaultSoundPath(QFile::encodeName(defaultSoundFile)),
      m_sinkDescription(std::move(sinkDescription)), m_beep(std::move(beep))
{
    if (!m_beep)
        m_beep = [] { QApplication::beep(); };
}

GstWaveSound::~GstWaveSound()
{
    if (!m_pipeline)
        return;
    // Joins the streaming threads, so no bus message can reach this object afterwards.
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    gst_bus_set_sync_handler(m_bus, nullptr, nullptr, nullptr);
    gst_object_unref(m_bus);
    gst_object_unref(m_pipeline);
}

void GstWaveSound::setNoAudioOutputHandler(std::function<void()> handler)
{
    m_noAudioOutputHandler = std::move(handler);
}

void GstWaveSound::play(const QByteArray& path)
{
    start(path, false);
}

void GstWaveSound::prepare()
{
    (void)ensurePipeline();
}

bool GstWaveSound::ensurePipeline()
{
    if (m_pipeline)
        return true;
    if (m_pipelineFailed)
        return false;
    m_pipelineFailed = true;
    try {
        ensureGStreamerInitialised();
    } catch (const AppError&) {
        return false;
    }
    g_autoptr(GstElement) pipeline = gst_element_factory_make("playbin", nullptr);
    g_autoptr(GError) error = nullptr;
    g_autoptr(GstElement) sink =
        gst_parse_bin_from_description(m_sinkDescription.toUtf8().constData(), TRUE, &error);
    if (!pipeline || !sink)
        return false;
    // Our own references, so that one unref releases each on every path; the pipeline keeps
    // the sink alive once it holds it.
    gst_object_ref_sink(pipeline);
    gst_object_ref_sink(sink);
    g_object_set(pipeline, "audio-sink", sink, "flags", PlayFlagAudio | PlayFlagSoftVolume,
                 nullptr);
    m_sink = sink;
    m_pipeline = static_cast<GstElement*>(g_steal_pointer(&pipeline));
    m_bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(m_bus, &GstWaveSoundBus::onMessage, this, nullptr);
    m_pipelineFailed = false;
    return true;
}

void GstWaveSound::start(const QByteArray& path, bool isDefault)
{
    if (!ensurePipeline()) {
        m_beep();
        return;
    }
    stop();
    // After the stop: messages of the old sound can no longer be posted with the new number.
    const int generation = ++m_generation;
    m_playingDefault = isDefault;
    emit started(path);

    struct stat info
    {};
    g_autofree gchar* uri = nullptr;
    if (!path.isEmpty() && ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode))
        uri = gst_filename_to_uri(path.constData(), nullptr);
    if (!uri) {
        fail();
        return;
    }
    g_object_set(m_pipeline, "uri", uri, nullptr);
    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        // The bus usually carries the error as well; the number makes the second one stale.
        QMetaObject::invokeMethod(
            this, [this, generation] { handleBusEvent(BusEvent::Error, generation); },
            Qt::QueuedConnection);
    }
}

void GstWaveSound::fail()
{
    // The default sound is tried once per play, so a broken default cannot loop.
    if (!m_playingDefault && !m_defaultSoundPath.isEmpty()) {
        start(m_defaultSoundPath, true);
        return;
    }
    stop();
    ++m_generation;
    m_beep();
}

void GstWaveSound::stop()
{
    if (m_pipeline)
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
}

void GstWaveSound::handleBusEvent(BusEvent event, int generation)
{
    // No output at all concerns every sound to come, not just the one that found out.
    if (event == BusEvent::NoAudioOutput) {
        if (!m_noAudioOutputReported && m_noAudioOutputHandler) {
            m_noAudioOutputReported = true;
            m_noAudioOutputHandler();
        }
        return;
    }
    if (generation != m_generation.load())
        return;
    switch (event) {
    case BusEvent::Error:
        fail();
        break;
    case BusEvent::EndOfStream:
        stop();
        ++m_generation;
        emit finished();
        break;
    case BusEvent::Prerolled: {
        // A file with pictures but no sound prerolls without error and would play silence.
        gint audioStreams = 0;
        g_object_get(m_pipeline, "n-audio", &audioStreams, nullptr);
        if (audioStreams == 0)
            fail();
        break;
    }
    case BusEvent::NoAudioOutput:
        break;
    }
}
