#pragma once

#include "media/TcmxID3.h"
#include "media/TcmxProgressThread.h"
#include "platform/AppError.h"
#include "platform/MediaDevice.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

/// The device's mode as the player reports it.
enum class TMPMode : std::uint8_t
{
    mpNotReady,
    mpStopped,
    mpPlaying,
    mpRecording,
    mpSeeking,
    mpPaused,
    mpOpen,
    mpUnknown
};

/// Units of length and position; the ordinal is handed to the device unchanged.
enum class TMPTimeFormat : std::uint8_t
{
    tfMilliseconds,
    tfHMS,
    tfMSF,
    tfFrames,
    tfSMPTE24,
    tfSMPTE25,
    tfSMPTE30,
    tfSMPTE30Drop,
    tfBytes,
    tfSamples,
    tfTMSF
};

/// A failed device command: "<code> - <text>".
class eMciDeviceError : public AppError
{
public:
    using AppError::AppError;
};

/// Plays one sound file through a media device; owns the file's ID3v1 tag copy.
/// Every operation runs on the GUI thread.
class TcmxMP3
{
public:
    using TcmxPlayProgress = std::function<void(TcmxMP3* Sender, int aSecs)>;
    using TNotifyEvent = std::function<void(TcmxMP3* Sender)>;

    /// Reads the tag and measures the length; the player is closed afterwards. Throws AppError
    /// ("Cannot open file <path>") or eMciDeviceError.
    TcmxMP3(const QString& path, MediaDeviceFactory& devices);
    /// Ends the progress thread (waiting briefly) and releases the device, which silences it.
    ~TcmxMP3();
    TcmxMP3(const TcmxMP3&) = delete;
    TcmxMP3& operator=(const TcmxMP3&) = delete;

    /// Opens the device if needed and plays; starts progress reports when OnProgress is set.
    void Play();
    /// If open: stops, ends progress reports, closes the device.
    void Stop();
    /// If playing: pauses playback and progress reports.
    void Pause();
    /// If paused: plays on and resumes progress reports.
    void Resume();
    /// The device's mode; mpUnknown while closed.
    [[nodiscard]] TMPMode getState();
    [[nodiscard]] int getLengthInSeconds() const { return LengthInSeconds; }
    /// The file's name without directory and extension.
    [[nodiscard]] QString getFileName() const;
    /// The file's directory, with its trailing "/".
    [[nodiscard]] QString getFilePath() const;
    /// Moves the file to <dir>/<name>.mp3 without replacing an existing file; false on failure.
    [[nodiscard]] bool ChgFilePath(const QString& newDir, const QString& newName);
    /// One progress step on the GUI thread; the sender is not used.
    void OnProgressTimer(QObject* Sender);

    /// Playing position in whole seconds, about once a second while playing.
    TcmxPlayProgress OnProgress;
    /// Playback reached the end of the file; the player is already stopped.
    TNotifyEvent OnPlayEnd;

    [[nodiscard]] TcmxID3 id3Init() const;
    /// Reads the tag from the file now.
    [[nodiscard]] TcmxID3 id3Get() const;
    /// Writes the tag into the file; the copy read at construction stays as it was.
    void id3Put(const TcmxID3& tag);
    /// Builds a tag from the texts (cut to their fields) and writes it with id3Put.
    void ChgID3(const QString& title, const QString& artist, const QString& album,
                const QString& comment, int year, std::uint8_t track, std::uint8_t genre);
    [[nodiscard]] QString getTitle() const;
    [[nodiscard]] QString getArtist() const;
    [[nodiscard]] QString getAlbum() const;
    [[nodiscard]] QString getYear() const;
    [[nodiscard]] QString getComment() const;
    [[nodiscard]] std::uint8_t getTrack() const { return ID3.Track; }
    [[nodiscard]] std::uint8_t getGenreNdx() const { return ID3.Genre; }
    [[nodiscard]] int MaxGenreID() const { return 147; }
    [[nodiscard]] QString getGenreText(int index) const;

private:
    void mciOpen();
    void mciClose();
    void mciPlay();
    void mciStop();
    void mciPause();
    void mciResume();
    void mciSetTimeFormat(TMPTimeFormat format);
    [[nodiscard]] std::uint32_t mciGetLength();
    [[nodiscard]] std::uint32_t mciGetPosition();
    [[nodiscard]] TMPMode mciGetMode();
    [[nodiscard]] int mciLgthInSecs();
    void mciCheckError(int code) const;
    [[nodiscard]] QString mciGetErrorMessage(int code) const;
    void mciWndMethod(std::uint64_t playSerial, MediaNotify flag);
    void mciNotifyEvent(MediaNotify flag);

    void startProgressThread();
    void retireProgressThread();
    [[nodiscard]] bool progressThreadRunning() const;

    MediaDeviceFactory& m_devices;
    std::uint16_t DeviceId = 0;
    QString FullFileName;
    // Completion notices are queued to this object, so none arrives after the player is gone.
    std::unique_ptr<QObject> NotifyReceiver;
    TcmxID3 ID3{};
    int LengthInSeconds = 0;
    QPointer<TcmxProgressThread> ProgressThread;
    std::uint64_t m_playSerial = 0;
    // Declared last: destroyed before the receiver its notices go to.
    std::unique_ptr<MediaDevice> m_device;
};
