#include "platform/gstreamer/GstMediaDevice.h"

#include "base/AppError.h"
#include "base/Logging.h"
#include "platform/gstreamer/GStreamerInit.h"

#include <QMetaObject>
#include <QScopeGuard>
#include <atomic>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <mutex>
#include <sys/stat.h>

// What the factory and its devices share: devices may outlive a reset of the handler.
struct GstMediaShared
{
    std::function<void()> noAudioOutput;
    bool noAudioOutputReported = false;
};

// What the bus sync handler, running on GStreamer's threads, shares with its device.
struct GstMediaBusState
{
    std::mutex mutex;
    QObject* context = nullptr; // cleared before the device goes away
    GstMediaDevice* device = nullptr;
    int firstError = 0;
    std::atomic<std::uint64_t> generation{0};
};

namespace {

enum BusEventKind
{
    BusError = 1,
    BusEndOfStream = 2
};

// playbin's "flags": audio and software volume only, so no video or subtitle chain is built.
constexpr guint kPlayFlagAudio = 0x2;
constexpr guint kPlayFlagSoftVolume = 0x10;
constexpr int kFormatMilliseconds = 0;

int errorNumber(const GError* error)
{
    if (error->domain == GST_RESOURCE_ERROR) {
        switch (error->code) {
        case GST_RESOURCE_ERROR_NOT_FOUND:
            return MediaError::FileNotFound;
        case GST_RESOURCE_ERROR_OPEN_READ:
        case GST_RESOURCE_ERROR_READ:
        case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
        case GST_RESOURCE_ERROR_SEEK:
            return MediaError::ReadFailed;
        default:
            return MediaError::PlaybackFailed;
        }
    }
    if (error->domain == GST_STREAM_ERROR) {
        switch (error->code) {
        case GST_STREAM_ERROR_CODEC_NOT_FOUND:
            return MediaError::MissingDecoder;
        case GST_STREAM_ERROR_TYPE_NOT_FOUND:
        case GST_STREAM_ERROR_WRONG_TYPE:
        case GST_STREAM_ERROR_DECODE:
        case GST_STREAM_ERROR_DEMUX:
        case GST_STREAM_ERROR_FORMAT:
            return MediaError::UnknownFormat;
        default:
            return MediaError::PlaybackFailed;
        }
    }
    if (error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_MISSING_PLUGIN)
        return MediaError::MissingDecoder;
    return MediaError::PlaybackFailed;
}

// Runs on whichever thread posts: errors are recorded at once so a synchronous open sees
// them; the first error and every end of stream travel on to the GUI thread.
GstBusSyncReply onBusSync(GstBus*, GstMessage* message, gpointer data)
{
    // A handler that drops a message owns it; a message kept refers to its source, and so the
    // pipeline, its bus and their file descriptors would outlive every alarm.
    const auto release = qScopeGuard([message] { gst_message_unref(message); });
    auto& bus = **static_cast<std::shared_ptr<GstMediaBusState>*>(data);
    int kind = 0;
    int code = 0;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        code = errorNumber(error);
        g_clear_error(&error);
        kind = BusError;
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
        kind = BusEndOfStream;
    }
    if (kind == 0)
        return GST_BUS_DROP;

    std::lock_guard lock(bus.mutex);
    if (kind == BusError) {
        if (bus.firstError != 0)
            return GST_BUS_DROP; // elements repeat their error on the way up
        bus.firstError = code;
    }
    if (bus.context) {
        GstMediaDevice* device = bus.device;
        const std::uint64_t generation = bus.generation.load();
        QMetaObject::invokeMethod(
            bus.context,
            [device, kind, code, generation] { device->onBusEvent(kind, code, generation); },
            Qt::QueuedConnection);
    }
    return GST_BUS_DROP;
}

void deleteBusState(gpointer data)
{
    delete static_cast<std::shared_ptr<GstMediaBusState>*>(data);
}

/// Takes the floating reference of a new element, so that one unref releases it on every path.
GstElement* sunk(GstElement* element)
{
    return element ? GST_ELEMENT(gst_object_ref_sink(element)) : nullptr;
}

bool isFallbackSink(GstElement* element)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory || g_strcmp0(GST_OBJECT_NAME(factory), "fakesink") != 0)
        return false;
    GstObject* parent = gst_object_get_parent(GST_OBJECT(element));
    if (!parent)
        return false;
    GstElementFactory* parentFactory =
        GST_IS_ELEMENT(parent) ? gst_element_get_factory(GST_ELEMENT(parent)) : nullptr;
    const bool fallback =
        parentFactory && g_strcmp0(GST_OBJECT_NAME(parentFactory), "autoaudiosink") == 0;
    gst_object_unref(parent);
    return fallback;
}

} // namespace

GstMediaDevice::GstMediaDevice(std::uint16_t id, GstMediaOptions options,
                               std::shared_ptr<GstMediaShared> shared)
    : m_id(id), m_options(std::move(options)), m_shared(std::move(shared)),
      m_bus(std::make_shared<GstMediaBusState>()), m_context(std::make_unique<QObject>())
{
    m_bus->context = m_context.get();
    m_bus->device = this;
}

GstMediaDevice::~GstMediaDevice()
{
    m_pending = nullptr; // the owner is going away: no notice any more
    releasePipeline();
}

void GstMediaDevice::releasePipeline()
{
    {
        std::lock_guard lock(m_bus->mutex);
        m_bus->context = nullptr;
    }
    if (!m_pipeline)
        return;
    // Going to NULL joins the streaming threads, so nothing posts after this.
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(m_pipeline);
    m_pipeline = nullptr;
}

int GstMediaDevice::open(const QByteArray& path)
{
    if (m_pipeline)
        (void)close();
    try {
        ensureGStreamerInitialised();
    } catch (const AppError&) {
        return MediaError::InitFailed;
    }
    m_path = path;
    m_lengthMs.reset();
    m_atEnd = false;
    {
        std::lock_guard lock(m_bus->mutex);
        m_bus->context = m_context.get();
        m_bus->firstError = 0;
    }

    g_autoptr(GError) error = nullptr;
    g_autofree gchar* uri = gst_filename_to_uri(path.constData(), &error);
    if (!uri)
        return MediaError::FileNotFound;
    g_autoptr(GstElement) pipeline = sunk(gst_element_factory_make("playbin", nullptr));
    g_clear_error(&error);
    g_autoptr(GstElement) sink = sunk(gst_parse_bin_from_description(
        m_options.sinkDescription.toUtf8().constData(), TRUE, &error));
    g_autoptr(GstElement) videoSink = sunk(gst_element_factory_make("fakesink", nullptr));
    if (!pipeline || !sink || !videoSink)
        return MediaError::InitFailed;
    g_object_set(pipeline, "uri", uri, "audio-sink", sink, "video-sink", videoSink, "flags",
                 kPlayFlagAudio | kPlayFlagSoftVolume, nullptr);
    m_pipeline = static_cast<GstElement*>(g_steal_pointer(&pipeline));
    {
        g_autoptr(GstBus) bus = gst_element_get_bus(m_pipeline);
        gst_bus_set_sync_handler(bus, onBusSync, new std::shared_ptr<GstMediaBusState>(m_bus),
                                 deleteBusState);
    }

    // Prerolling a WAV or MP3 takes a few milliseconds; a stream error ends it early.
    GstStateChangeReturn result = gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    if (result == GST_STATE_CHANGE_ASYNC)
        result = gst_element_get_state(m_pipeline, nullptr, nullptr,
                                       GstClockTime(m_options.readyTimeoutMs) * GST_MSECOND);
    int code = MediaError::None;
    if (result == GST_STATE_CHANGE_FAILURE) {
        std::lock_guard lock(m_bus->mutex);
        code = m_bus->firstError != 0 ? m_bus->firstError : MediaError::UnknownFormat;
    } else if (result == GST_STATE_CHANGE_ASYNC) {
        code = MediaError::NotReady;
    }
    // An empty file fails like an unknown one; name the actual cause.
    struct stat info
    {};
    if (code == MediaError::UnknownFormat && ::stat(path.constData(), &info) == 0 &&
        info.st_size == 0)
        code = MediaError::NoData;
    if (code != MediaError::None) {
        releasePipeline();
        return code;
    }
    m_mode = MediaMode::Stopped;
    checkAudioOutput();
    return MediaError::None;
}

void GstMediaDevice::checkAudioOutput()
{
    if (m_shared->noAudioOutputReported)
        return;
    GstElement* sink = nullptr;
    g_object_get(m_pipeline, "audio-sink", &sink, nullptr);
    if (!sink)
        return;
    bool fallback = false;
    if (GST_IS_BIN(sink)) {
        GstIterator* it = gst_bin_iterate_recurse(GST_BIN(sink));
        GValue item = G_VALUE_INIT;
        while (!fallback && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
            fallback = isFallbackSink(GST_ELEMENT(g_value_get_object(&item)));
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(it);
    }
    gst_object_unref(sink);
    // Without a sound card or server autoaudiosink plays into a fake sink: playback goes on
    // (the alarm still runs its course), but the user hears about it once.
    if (fallback) {
        m_shared->noAudioOutputReported = true;
        if (m_shared->noAudioOutput)
            m_shared->noAudioOutput();
    }
}

int GstMediaDevice::close()
{
    if (!m_pipeline)
        return MediaError::NotOpen;
    if (m_pending)
        notify(MediaNotify::Aborted);
    releasePipeline();
    m_mode = MediaMode::NotReady;
    return MediaError::None;
}

int GstMediaDevice::changeState(int state)
{
    const GstStateChangeReturn result =
        gst_element_set_state(m_pipeline, static_cast<GstState>(state));
    if (result != GST_STATE_CHANGE_FAILURE)
        return MediaError::None;
    std::lock_guard lock(m_bus->mutex);
    return m_bus->firstError != 0 ? m_bus->firstError : MediaError::PlaybackFailed;
}

int GstMediaDevice::play(MediaNotifyHandler onNotify)
{
    if (!m_pipeline)
        return MediaError::NotOpen;
    if (m_pending)
        notify(MediaNotify::Superseded);
    // An end of stream that is still on its way belongs to the earlier request.
    m_bus->generation.fetch_add(1);
    if (m_atEnd) {
        gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME,
                                GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
        m_atEnd = false;
    }
    if (const int code = changeState(GST_STATE_PLAYING); code != MediaError::None)
        return code;
    m_mode = MediaMode::Playing;
    m_pending = std::move(onNotify);
    return MediaError::None;
}

int GstMediaDevice::stop()
{
    if (!m_pipeline)
        return MediaError::NotOpen;
    if (m_pending)
        notify(MediaNotify::Aborted);
    m_bus->generation.fetch_add(1);
    const int code = changeState(GST_STATE_PAUSED);
    gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME,
                            GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
    m_atEnd = false;
    m_mode = MediaMode::Stopped;
    return code;
}

int GstMediaDevice::pause()
{
    if (!m_pipeline)
        return MediaError::NotOpen;
    if (m_mode != MediaMode::Playing)
        return MediaError::None;
    if (const int code = changeState(GST_STATE_PAUSED); code != MediaError::None)
        return code;
    m_mode = MediaMode::Paused;
    return MediaError::None;
}

int GstMediaDevice::resume()
{
    if (!m_pipeline)
        return MediaError::NotOpen;
    if (m_mode != MediaMode::Paused)
        return MediaError::None;
    if (const int code = changeState(GST_STATE_PLAYING); code != MediaError::None)
        return code;
    m_mode = MediaMode::Playing;
    return MediaError::None;
}

int GstMediaDevice::setTimeFormat(int format)
{
    if (!m_pipeline)
        return MediaError::NotOpen;
    return format == kFormatMilliseconds ? MediaError::None : MediaError::BadTimeFormat;
}

int GstMediaDevice::statusLength(std::uint32_t& length)
{
    length = 0;
    if (!m_pipeline)
        return MediaError::NotOpen;
    if (!m_lengthMs) {
        gint64 duration = 0;
        if (gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &duration) && duration >= 0)
            m_lengthMs = std::uint64_t(duration) / GST_MSECOND;
        else
            m_lengthMs = scanLengthMs();
    }
    // A file whose length cannot be found at all reports 0 rather than failing to play.
    length = std::uint32_t(std::min<std::uint64_t>(m_lengthMs.value_or(0), UINT32_MAX));
    return MediaError::None;
}

// A VBR MP3 without a length header has no duration until some 400 ms into playback; the
// discoverer scans the file instead (about 50 ms for five minutes).
std::optional<std::uint64_t> GstMediaDevice::scanLengthMs() const
{
    g_autoptr(GError) error = nullptr;
    g_autoptr(GstDiscoverer) discoverer =
        gst_discoverer_new(GstClockTime(m_options.scanTimeoutMs) * GST_MSECOND, &error);
    if (!discoverer)
        return std::nullopt;
    g_autofree gchar* uri = gst_filename_to_uri(m_path.constData(), nullptr);
    if (!uri)
        return std::nullopt;
    g_clear_error(&error);
    g_autoptr(GstDiscovererInfo) info = gst_discoverer_discover_uri(discoverer, uri, &error);
    if (!info)
        return std::nullopt;
    const GstClockTime duration = gst_discoverer_info_get_duration(info);
    std::optional<std::uint64_t> result;
    if (gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK &&
        GST_CLOCK_TIME_IS_VALID(duration))
        result = duration / GST_MSECOND;
    return result;
}

int GstMediaDevice::statusPosition(std::uint32_t& position)
{
    position = 0;
    if (!m_pipeline)
        return MediaError::NotOpen;
    gint64 nanos = 0;
    if (gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &nanos) && nanos > 0)
        position =
            std::uint32_t(std::min<std::uint64_t>(std::uint64_t(nanos) / GST_MSECOND, UINT32_MAX));
    return MediaError::None;
}

int GstMediaDevice::statusMode(std::uint32_t& mode)
{
    mode = 0;
    if (!m_pipeline)
        return MediaError::NotOpen;
    mode = static_cast<std::uint32_t>(m_mode);
    return MediaError::None;
}

void GstMediaDevice::onBusEvent(int kind, int code, std::uint64_t generation)
{
    (void)code;
    if (generation != m_bus->generation.load() || m_mode != MediaMode::Playing)
        return;
    m_mode = MediaMode::Stopped;
    if (kind == BusEndOfStream) {
        m_atEnd = true;
        notify(MediaNotify::Successful);
    } else {
        notify(MediaNotify::Failure);
    }
}

// Last step of whatever calls it: the handler may start work that replaces this request.
void GstMediaDevice::notify(MediaNotify flag)
{
    MediaNotifyHandler handler = std::move(m_pending);
    m_pending = nullptr;
    if (handler)
        handler(flag);
}

GstMediaDeviceFactory::GstMediaDeviceFactory(GstMediaOptions options)
    : m_options(std::move(options)), m_shared(std::make_shared<GstMediaShared>())
{}

GstMediaDeviceFactory::~GstMediaDeviceFactory() = default;

void GstMediaDeviceFactory::setNoAudioOutputHandler(std::function<void()> handler)
{
    m_shared->noAudioOutput = std::move(handler);
}

void GstMediaDeviceFactory::setErrorHandler(std::function<void(const QString&)> handler)
{
    m_errorHandler = std::move(handler);
}

std::unique_ptr<MediaDevice> GstMediaDeviceFactory::createDevice()
{
    m_lastId = std::uint16_t(m_lastId == UINT16_MAX ? 1 : m_lastId + 1);
    return std::make_unique<GstMediaDevice>(m_lastId, m_options, m_shared);
}

std::optional<QString> GstMediaDeviceFactory::errorText(int code) const
{
    switch (code) {
    case MediaError::PlaybackFailed:
        return QStringLiteral("The device reported a problem while playing");
    case MediaError::NotOpen:
        return QStringLiteral("The specified device is not open or is not recognized");
    case MediaError::FileNotFound:
        return QStringLiteral("Cannot find the specified file");
    case MediaError::NotReady:
        return QStringLiteral("The device is not ready: the file did not load in time");
    case MediaError::InitFailed:
        return QStringLiteral("A problem occurred in initializing the sound system");
    case MediaError::NoData:
        return QStringLiteral("The file contains no sound data");
    case MediaError::BadTimeFormat:
        return QStringLiteral("The specified time format is not supported by this device");
    case MediaError::UnknownFormat:
        return QStringLiteral("The file cannot be played: it is damaged or not in a known format");
    case MediaError::MissingDecoder:
        return QStringLiteral("The decoder needed for this file is not installed");
    case MediaError::ReadFailed:
        return QStringLiteral("Cannot read the specified file");
    default:
        return std::nullopt;
    }
}

void GstMediaDeviceFactory::reportError(const QString& message)
{
    if (m_errorHandler)
        m_errorHandler(message);
    else
        qCWarning(lcMedia, "%s", qUtf8Printable(message));
}
