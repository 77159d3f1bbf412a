#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

/// How a play request ended; the notice that reaches the handler given to MediaDevice::play.
enum class MediaNotify
{
    Successful = 1, ///< played to the end
    Superseded = 2, ///< a newer play request took its place
    Aborted = 4,    ///< stopped or closed before the end
    Failure = 8     ///< the device failed while playing
};

/// The device's own mode, as MediaDevice::statusMode reports it.
enum class MediaMode : std::uint32_t
{
    NotReady = 524,
    Stopped = 525,
    Playing = 526,
    Recording = 527,
    Seeking = 528,
    Paused = 529,
    Open = 530
};

/// Error numbers of the media devices; 0 is success. Their texts, as errorText gives them:
/// - 262 "The device reported a problem while playing"
/// - 263 "The specified device is not open or is not recognized"
/// - 275 "Cannot find the specified file"
/// - 276 "The device is not ready: the file did not load in time"
/// - 277 "A problem occurred in initializing the sound system"
/// - 286 "The file contains no sound data"
/// - 293 "The specified time format is not supported by this device"
/// - 304 "The file cannot be played: it is damaged or not in a known format"
/// - 305 "The decoder needed for this file is not installed"
/// - 348 "Cannot read the specified file"
/// Any other number has no text.
namespace MediaError {
inline constexpr int None = 0;
inline constexpr int PlaybackFailed = 262;
inline constexpr int NotOpen = 263;
inline constexpr int FileNotFound = 275;
inline constexpr int NotReady = 276;
inline constexpr int InitFailed = 277;
inline constexpr int NoData = 286;
inline constexpr int BadTimeFormat = 293;
inline constexpr int UnknownFormat = 304;
inline constexpr int MissingDecoder = 305;
inline constexpr int ReadFailed = 348;
} // namespace MediaError

/// Receives a play request's completion notice, on the GUI thread. It may be called from inside a
/// device command (stop, close, a new play), so it must not destroy the device synchronously.
using MediaNotifyHandler = std::function<void(MediaNotify)>;

/// One open sound file. Every command answers 0 or an error number; nothing throws.
/// All commands run on the GUI thread.
class MediaDevice
{
public:
    virtual ~MediaDevice() = default;
    /// Opens the file, named as the file system spells it, and waits, bounded, until it is
    /// ready to play.
    [[nodiscard]] virtual int open(const QByteArray& path) = 0;
    /// Releases the file; a pending notice is aborted.
    [[nodiscard]] virtual int close() = 0;
    /// Plays from the current position; the handler hears once how this request ended.
    [[nodiscard]] virtual int play(MediaNotifyHandler onNotify) = 0;
    /// Stops and rewinds; a pending notice is aborted.
    [[nodiscard]] virtual int stop() = 0;
    [[nodiscard]] virtual int pause() = 0;
    [[nodiscard]] virtual int resume() = 0;
    /// Chooses the unit of length and position; the number is the player's time-format ordinal.
    [[nodiscard]] virtual int setTimeFormat(int format) = 0;
    /// The file's length in the current time format.
    [[nodiscard]] virtual int statusLength(std::uint32_t& length) = 0;
    /// The playing position in the current time format.
    [[nodiscard]] virtual int statusPosition(std::uint32_t& position) = 0;
    /// The device's mode, one of MediaMode as a number.
    [[nodiscard]] virtual int statusMode(std::uint32_t& mode) = 0;
    /// A number other than 0 that names this device while it is open.
    [[nodiscard]] virtual std::uint16_t deviceId() const = 0;
};

/// Makes media devices; the player gets one in its constructor so tests can inject fakes.
class MediaDeviceFactory
{
public:
    virtual ~MediaDeviceFactory() = default;
    /// A new, closed device.
    [[nodiscard]] virtual std::unique_ptr<MediaDevice> createDevice() = 0;
    /// The text of an error number, or nothing for a number it does not know.
    [[nodiscard]] virtual std::optional<QString> errorText(int code) const = 0;
    /// Shows a failure that surfaced outside any caller (on a completion notice).
    virtual void reportError(const QString& message) = 0;
};
