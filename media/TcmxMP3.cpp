#include "media/TcmxMP3.h"

#include "media/Id3File.h"

#include <QDeadlineTimer>
#include <QMetaObject>

namespace {
// How long a dying player waits for its progress thread; the loop wakes at once on request.
constexpr int kThreadEndTimeoutMs = 2000;
} // namespace

TcmxMP3::TcmxMP3(const QString& path, MediaDeviceFactory& devices)
    : m_devices(devices), FullFileName(path)
{
    ID3 = id3Get();
    LengthInSeconds = mciLgthInSecs();
    NotifyReceiver = std::make_unique<QObject>();
}

TcmxMP3::~TcmxMP3()
{
    // Our behaviour: the thread must not call into a player that is gone, so it is ended
    // and waited for (bounded) here. The device goes with the player and falls silent.
    const QPointer<TcmxProgressThread> thread = ProgressThread;
    retireProgressThread();
    if (thread && !thread->hasEnded())
        thread->wait(QDeadlineTimer(kThreadEndTimeoutMs));
}

void TcmxMP3::Play()
{
    if (DeviceId == 0)
        mciOpen();
    const TMPMode mode = getState();
    if (mode == TMPMode::mpPlaying) {
        // Our behaviour: Play while playing starts the file again from its beginning.
        Stop();
        mciOpen();
    }
    mciPlay();
    if (!OnProgress)
        return;
    // Our behaviour: Play while paused plays on with the progress thread it already has.
    if (mode == TMPMode::mpPaused && progressThreadRunning()) {
        ProgressThread->resumeProgress();
        return;
    }
    startProgressThread();
}

void TcmxMP3::Stop()
{
    if (DeviceId == 0)
        return;
    mciStop();
    retireProgressThread();
    mciClose();
}

void TcmxMP3::Pause()
{
    if (DeviceId == 0 || getState() != TMPMode::mpPlaying)
        return;
    mciPause();
    if (progressThreadRunning())
        ProgressThread->suspendProgress();
}

void TcmxMP3::Resume()
{
    if (DeviceId == 0 || getState() != TMPMode::mpPaused)
        return;
    mciResume();
    if (progressThreadRunning())
        ProgressThread->resumeProgress();
}

TMPMode TcmxMP3::getState()
{
    return mciGetMode();
}

void TcmxMP3::OnProgressTimer(QObject* Sender)
{
    (void)Sender;
    mciSetTimeFormat(TMPTimeFormat::tfMilliseconds);
    const std::uint32_t position = mciGetPosition();
    if (OnProgress)
        OnProgress(this, static_cast<int>(position / 1000));
}

void TcmxMP3::startProgressThread()
{
    // An earlier thread is ended rather than left running unreferenced.
    retireProgressThread();
    auto* thread = new TcmxProgressThread([this](QObject* sender) { OnProgressTimer(sender); });
    ProgressThread = thread;
    thread->start();
}

// The thread is told to end and forgets the player, so a step it had already handed over
// reports nothing. A thread that ended by itself (a failed step) is only let go.
void TcmxMP3::retireProgressThread()
{
    if (progressThreadRunning()) {
        ProgressThread->detachCallback();
        ProgressThread->requestTerminate();
    }
    ProgressThread = nullptr;
}

bool TcmxMP3::progressThreadRunning() const
{
    return ProgressThread && !ProgressThread->hasEnded();
}

void TcmxMP3::mciOpen()
{
    mciClose();
    std::unique_ptr<MediaDevice> device = m_devices.createDevice();
    mciCheckError(device->open(FullFileName));
    m_device = std::move(device);
    DeviceId = m_device->deviceId();
}

void TcmxMP3::mciClose()
{
    if (DeviceId == 0)
        return;
    mciCheckError(m_device->close());
    m_device.reset();
    DeviceId = 0;
}

void TcmxMP3::mciPlay()
{
    if (DeviceId == 0)
        return;
    const std::uint64_t serial = ++m_playSerial;
    QObject* receiver = NotifyReceiver.get();
    // Queued, so the device is never closed from inside its own notice.
    mciCheckError(m_device->play([this, receiver, serial](MediaNotify flag) {
        QMetaObject::invokeMethod(
            receiver, [this, serial, flag] { mciWndMethod(serial, flag); }, Qt::QueuedConnection);
    }));
}

void TcmxMP3::mciStop()
{
    if (DeviceId != 0)
        mciCheckError(m_device->stop());
}

void TcmxMP3::mciPause()
{
    if (DeviceId != 0)
        mciCheckError(m_device->pause());
}

void TcmxMP3::mciResume()
{
    if (DeviceId != 0)
        mciCheckError(m_device->resume());
}

void TcmxMP3::mciSetTimeFormat(TMPTimeFormat format)
{
    if (DeviceId != 0)
        mciCheckError(m_device->setTimeFormat(static_cast<int>(format) & 0x7F));
}

std::uint32_t TcmxMP3::mciGetLength()
{
    std::uint32_t length = 0;
    if (DeviceId != 0)
        mciCheckError(m_device->statusLength(length));
    return length;
}

std::uint32_t TcmxMP3::mciGetPosition()
{
    std::uint32_t position = 0;
    if (DeviceId != 0)
        mciCheckError(m_device->statusPosition(position));
    return position;
}

TMPMode TcmxMP3::mciGetMode()
{
    if (DeviceId == 0)
        return TMPMode::mpUnknown;
    std::uint32_t mode = 0;
    mciCheckError(m_device->statusMode(mode));
    switch (static_cast<MediaMode>(mode)) {
    case MediaMode::NotReady:
        return TMPMode::mpNotReady;
    case MediaMode::Stopped:
        return TMPMode::mpStopped;
    case MediaMode::Playing:
        return TMPMode::mpPlaying;
    case MediaMode::Recording:
        return TMPMode::mpRecording;
    case MediaMode::Seeking:
        return TMPMode::mpSeeking;
    case MediaMode::Paused:
        return TMPMode::mpPaused;
    case MediaMode::Open:
        return TMPMode::mpOpen;
    }
    return TMPMode::mpUnknown;
}

int TcmxMP3::mciLgthInSecs()
{
    mciOpen();
    std::uint32_t milliseconds = 0;
    try {
        mciSetTimeFormat(TMPTimeFormat::tfMilliseconds);
        milliseconds = mciGetLength();
    } catch (...) {
        try {
            mciClose();
        } catch (...) {
        }
        throw;
    }
    mciClose();
    return static_cast<int>(milliseconds / 1000);
}

void TcmxMP3::mciCheckError(int code) const
{
    if (code != 0)
        throw eMciDeviceError(
            QStringLiteral("%1 - %2").arg(code).arg(mciGetErrorMessage(code)).toStdString());
}

QString TcmxMP3::mciGetErrorMessage(int code) const
{
    return m_devices.errorText(code).value_or(QStringLiteral("Unknown error code"));
}

// A notice that belongs to an earlier play request (the file was stopped and played again
// before it arrived) is dropped. Nothing above this catches, so failures are shown here.
void TcmxMP3::mciWndMethod(std::uint64_t playSerial, MediaNotify flag)
{
    if (playSerial != m_playSerial)
        return;
    try {
        mciNotifyEvent(flag);
    } catch (const std::exception& error) {
        m_devices.reportError(QString::fromStdString(error.what()));
    }
}

void TcmxMP3::mciNotifyEvent(MediaNotify flag)
{
    if (flag != MediaNotify::Successful)
        return;
    Stop();
    if (OnPlayEnd)
        OnPlayEnd(this);
}
