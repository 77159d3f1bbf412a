#pragma once

#include "base/AppError.h"
#include "media/Id3v1Tag.h"
#include "media/PlaybackProgressThread.h"
#include "platform/MediaDevice.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

/// The device's mode as the player reports it.
enum class PlayerMode : std::uint8_t
{
    NotReady,
    Stopped,
    Playing,
    Recording,
    Seeking,
    Paused,
    Open,
    Unknown
};

/// Units of length and position; the ordinal is handed to the device unchanged.
enum class TimeFormat : std::uint8_t
{
    Milliseconds,
    Hms,
    Msf,
    Frames,
    Smpte24,
    Smpte25,
    Smpte30,
    Smpte30Drop,
    Bytes,
    Samples,
    Tmsf
};

/// A failed device command: "<code> - <text>".
class MediaDeviceError : public AppError
{
public:
    using AppError::AppError;
};

/// Plays one sound file through a media device; owns the file's ID3v1 tag copy.
/// Every operation runs on the GUI thread.
class Mp3Player
{
public:
    using ProgressHandler = std::function<void(Mp3Player* sender, int seconds)>;
    using PlayEndHandler = std::function<void(Mp3Player* sender)>;

    /// Reads the tag and measures the length; the player is closed afterwards. Throws AppError
    /// ("Cannot open file <path>") or MediaDeviceError.
    Mp3Player(const QString& path, MediaDeviceFactory& devices);
    /// The same for a file named as the file system spells it, whatever its encoding.
    Mp3Player(QByteArray path, MediaDeviceFactory& devices);
    /// Ends the progress thread (waiting briefly) and releases the device, which silences it.
    ~Mp3Player();
    Mp3Player(const Mp3Player&) = delete;
    Mp3Player& operator=(const Mp3Player&) = delete;

    /// Opens the device if needed and plays; starts progress reports when onProgress is set.
    void play();
    /// If open: stops, ends progress reports, closes the device.
    void stop();
    /// If playing: pauses playback and progress reports.
    void pause();
    /// If paused: plays on and resumes progress reports.
    void resume();
    /// The device's mode; Unknown while closed.
    [[nodiscard]] PlayerMode state();
    [[nodiscard]] int lengthInSeconds() const { return m_lengthInSeconds; }
    /// The file's name without directory and extension.
    [[nodiscard]] QString fileName() const;
    /// The file's directory, with its trailing "/".
    [[nodiscard]] QString filePath() const;
    /// Moves the file to <dir>/<name>.mp3 without replacing an existing file; false on failure.
    [[nodiscard]] bool moveFile(const QString& newDir, const QString& newName);
    /// One progress step on the GUI thread; the sender is not used.
    void onProgressTimer(QObject* sender);

    /// Playing position in whole seconds, about once a second while playing.
    ProgressHandler onProgress;
    /// Playback reached the end of the file; the player is already stopped.
    PlayEndHandler onPlayEnd;

    [[nodiscard]] Id3v1Tag initialTag() const;
    /// Reads the tag from the file now.
    [[nodiscard]] Id3v1Tag readTag() const;
    /// Writes the tag into the file; the copy read at construction stays as it was.
    void writeTag(const Id3v1Tag& tag);
    /// Builds a tag from the texts (cut to their fields) and writes it with writeTag.
    void changeTag(const QString& title, const QString& artist, const QString& album,
                   const QString& comment, int year, std::uint8_t track, std::uint8_t genre);
    [[nodiscard]] QString title() const;
    [[nodiscard]] QString artist() const;
    [[nodiscard]] QString album() const;
    [[nodiscard]] QString year() const;
    [[nodiscard]] QString comment() const;
    [[nodiscard]] std::uint8_t track() const { return m_tag.track; }
    [[nodiscard]] std::uint8_t genreIndex() const { return m_tag.genre; }
    [[nodiscard]] int maxGenreId() const { return 147; }
    [[nodiscard]] QString genreText(int index) const;

private:
    void openDevice();
    void closeDevice();
    void playDevice();
    void stopDevice();
    void pauseDevice();
    void resumeDevice();
    void setTimeFormat(TimeFormat format);
    [[nodiscard]] std::uint32_t deviceLength();
    [[nodiscard]] std::uint32_t devicePosition();
    [[nodiscard]] PlayerMode deviceMode();
    [[nodiscard]] int lengthFromDevice();
    void checkDeviceError(int code) const;
    [[nodiscard]] QString deviceErrorMessage(int code) const;
    void onDeviceNotice(std::uint64_t playSerial, MediaNotify flag);
    void handleDeviceNotice(MediaNotify flag);

    void startProgressThread();
    void retireProgressThread();
    [[nodiscard]] bool progressThreadRunning() const;

    MediaDeviceFactory& m_devices;
    std::uint16_t m_deviceId = 0;
    QByteArray m_path; // as the file system spells it
    // Completion notices are queued to this object, so none arrives after the player is gone.
    std::unique_ptr<QObject> m_notifyReceiver;
    Id3v1Tag m_tag{};
    int m_lengthInSeconds = 0;
    QPointer<PlaybackProgressThread> m_progressThread;
    std::uint64_t m_playSerial = 0;
    // Declared last: destroyed before the receiver its notices go to.
    std::unique_ptr<MediaDevice> m_device;
};
