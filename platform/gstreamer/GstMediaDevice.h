#pragma once

#include "platform/MediaDevice.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// GStreamer's own name for the struct, declared here to keep its headers out of ours.
typedef struct _GstElement GstElement; // NOLINT(bugprone-reserved-identifier)

/// Settings shared by every device a GstMediaDeviceFactory makes.
struct GstMediaOptions
{
    /// Where the sound goes: a GStreamer bin description ("fakesink sync=true" plays into
    /// nothing in real time).
    QString sinkDescription = QStringLiteral("autoaudiosink");
    /// How long open waits for a file to become ready to play.
    int readyTimeoutMs = 5000;
    /// How long a length measurement by scanning the file may take.
    int scanTimeoutMs = 5000;
};

struct GstMediaShared;
struct GstMediaBusState;

/// A media device on a GStreamer playbin, audio only. Error numbers and texts: MediaDevice.h.
class GstMediaDevice final : public MediaDevice
{
public:
    GstMediaDevice(std::uint16_t id, GstMediaOptions options,
                   std::shared_ptr<GstMediaShared> shared);
    ~GstMediaDevice() override;
    GstMediaDevice(const GstMediaDevice&) = delete;
    GstMediaDevice& operator=(const GstMediaDevice&) = delete;

    [[nodiscard]] int open(const QByteArray& path) override;
    [[nodiscard]] int close() override;
    [[nodiscard]] int play(MediaNotifyHandler onNotify) override;
    [[nodiscard]] int stop() override;
    [[nodiscard]] int pause() override;
    [[nodiscard]] int resume() override;
    [[nodiscard]] int setTimeFormat(int format) override;
    [[nodiscard]] int statusLength(std::uint32_t& length) override;
    [[nodiscard]] int statusPosition(std::uint32_t& position) override;
    [[nodiscard]] int statusMode(std::uint32_t& mode) override;
    [[nodiscard]] std::uint16_t deviceId() const override { return m_id; }

    /// A bus message, delivered on the GUI thread; ignored when it belongs to an earlier request.
    void onBusEvent(int kind, int code, std::uint64_t generation);

private:
    void notify(MediaNotify flag);
    void releasePipeline();
    void checkAudioOutput();
    [[nodiscard]] int changeState(int state);
    [[nodiscard]] std::optional<std::uint64_t> scanLengthMs() const;

    std::uint16_t m_id;
    GstMediaOptions m_options;
    std::shared_ptr<GstMediaShared> m_shared;
    std::shared_ptr<GstMediaBusState> m_bus;
    // Queued bus events are delivered to this object; they die with it.
    std::unique_ptr<QObject> m_context;
    GstElement* m_pipeline = nullptr;
    QByteArray m_path;
    MediaMode m_mode = MediaMode::NotReady;
    bool m_atEnd = false;
    MediaNotifyHandler m_pending;
    std::optional<std::uint64_t> m_lengthMs;
};

/// Makes GStreamer media devices. GStreamer starts at the first open, not before.
class GstMediaDeviceFactory final : public MediaDeviceFactory
{
public:
    explicit GstMediaDeviceFactory(GstMediaOptions options = {});
    ~GstMediaDeviceFactory() override;

    /// Called once, the first time a device finds no sound output and plays into nothing.
    void setNoAudioOutputHandler(std::function<void()> handler);
    /// Shows failures that surfaced outside any caller (reportError).
    void setErrorHandler(std::function<void(const QString&)> handler);

    [[nodiscard]] std::unique_ptr<MediaDevice> createDevice() override;
    [[nodiscard]] std::optional<QString> errorText(int code) const override;
    void reportError(const QString& message) override;

private:
    GstMediaOptions m_options;
    std::shared_ptr<GstMediaShared> m_shared;
    std::function<void(const QString&)> m_errorHandler;
    std::uint16_t m_lastId = 0;
};
