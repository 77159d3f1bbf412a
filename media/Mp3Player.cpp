#include "media/Mp3Player.h"

#include "media/Id3File.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QMetaObject>

namespace {
// How long a dying player waits for its progress thread; the loop wakes at once on request.
constexpr int kThreadEndTimeoutMs = 2000;
} // namespace

Mp3Player::Mp3Player(const QString& path, MediaDeviceFactory& devices)
    : Mp3Player(QFile::encodeName(path), devices)
{}

Mp3Player::Mp3Player(QByteArray path, MediaDeviceFactory& devices)
    : m_devices(devices), m_path(std::move(path))
{
    m_tag = readTag();
    m_lengthInSeconds = lengthFromDevice();
    m_notifyReceiver = std::make_unique<QObject>();
}

Mp3Player::~Mp3Player()
{
    // Our behaviour: the thread must not call into a player that is gone, so it is ended
    // and waited for (bounded) here. The device goes with the player and falls silent.
    const QPointer<PlaybackProgressThread> thread = m_progressThread;
    retireProgressThread();
    if (thread && !thread->hasEnded())
        thread->wait(QDeadlineTimer(kThreadEndTimeoutMs));
}

void Mp3Player::play()
{
    if (m_deviceId == 0)
        openDevice();
    const PlayerMode mode = state();
    if (mode == PlayerMode::Playing) {
        // Our behaviour: Play while playing starts the file again from its beginning.
        stop();
        openDevice();
    }
    playDevice();
    if (!onProgress)
        return;
    // Our behaviour: Play while paused plays on with the progress thread it already has.
    if (mode == PlayerMode::Paused && progressThreadRunning()) {
        m_progressThread->resumeProgress();
        return;
    }
    startProgressThread();
}

void Mp3Player::stop()
{
    if (m_deviceId == 0)
        return;
    stopDevice();
    retireProgressThread();
    closeDevice();
}

void Mp3Player::pause()
{
    if (m_deviceId == 0 || state() != PlayerMode::Playing)
        return;
    pauseDevice();
    if (progressThreadRunning())
        m_progressThread->suspendProgress();
}

void Mp3Player::resume()
{
    if (m_deviceId == 0 || state() != PlayerMode::Paused)
        return;
    resumeDevice();
    if (progressThreadRunning())
        m_progressThread->resumeProgress();
}

PlayerMode Mp3Player::state()
{
    return deviceMode();
}

void Mp3Player::onProgressTimer(QObject* sender)
{
    (void)sender;
    setTimeFormat(TimeFormat::Milliseconds);
    const std::uint32_t position = devicePosition();
    if (onProgress)
        onProgress(this, static_cast<int>(position / 1000));
}

void Mp3Player::startProgressThread()
{
    // An earlier thread is ended rather than left running unreferenced.
    retireProgressThread();
    auto* thread = new PlaybackProgressThread([this](QObject* sender) { onProgressTimer(sender); });
    m_progressThread = thread;
    thread->start();
}

// The thread is told to end and forgets the player, so a step it had already handed over
// reports nothing. A thread that ended by itself (a failed step) is only let go.
void Mp3Player::retireProgressThread()
{
    if (progressThreadRunning()) {
        m_progressThread->detachCallback();
        m_progressThread->requestTerminate();
    }
    m_progressThread = nullptr;
}

bool Mp3Player::progressThreadRunning() const
{
    return m_progressThread && !m_progressThread->hasEnded();
}

void Mp3Player::openDevice()
{
    closeDevice();
    std::unique_ptr<MediaDevice> device = m_devices.createDevice();
    checkDeviceError(device->open(m_path));
    m_device = std::move(device);
    m_deviceId = m_device->deviceId();
}

void Mp3Player::closeDevice()
{
    if (m_deviceId == 0)
        return;
    checkDeviceError(m_device->close());
    m_device.reset();
    m_deviceId = 0;
}

void Mp3Player::playDevice()
{
    if (m_deviceId == 0)
        return;
    const std::uint64_t serial = ++m_playSerial;
    QObject* receiver = m_notifyReceiver.get();
    // Queued, so the device is never closed from inside its own notice.
    checkDeviceError(m_device->play([this, receiver, serial](MediaNotify flag) {
        QMetaObject::invokeMethod(
            receiver, [this, serial, flag] { onDeviceNotice(serial, flag); }, Qt::QueuedConnection);
    }));
}

void Mp3Player::stopDevice()
{
    if (m_deviceId != 0)
        checkDeviceError(m_device->stop());
}

void Mp3Player::pauseDevice()
{
    if (m_deviceId != 0)
        checkDeviceError(m_device->pause());
}

void Mp3Player::resumeDevice()
{
    if (m_deviceId != 0)
        checkDeviceError(m_device->resume());
}

void Mp3Player::setTimeFormat(TimeFormat format)
{
    if (m_deviceId != 0)
        checkDeviceError(m_device->setTimeFormat(static_cast<int>(format) & 0x7F));
}

std::uint32_t Mp3Player::deviceLength()
{
    std::uint32_t length = 0;
    if (m_deviceId != 0)
        checkDeviceError(m_device->statusLength(length));
    return length;
}

std::uint32_t Mp3Player::devicePosition()
{
    std::uint32_t position = 0;
    if (m_deviceId != 0)
        checkDeviceError(m_device->statusPosition(position));
    return position;
}

PlayerMode Mp3Player::deviceMode()
{
    if (m_deviceId == 0)
        return PlayerMode::Unknown;
    std::uint32_t mode = 0;
    checkDeviceError(m_device->statusMode(mode));
    switch (static_cast<MediaMode>(mode)) {
    case MediaMode::NotReady:
        return PlayerMode::NotReady;
    case MediaMode::Stopped:
        return PlayerMode::Stopped;
    case MediaMode::Playing:
        return PlayerMode::Playing;
    case MediaMode::Recording:
        return PlayerMode::Recording;
    case MediaMode::Seeking:
        return PlayerMode::Seeking;
    case MediaMode::Paused:
        return PlayerMode::Paused;
    case MediaMode::Open:
        return PlayerMode::Open;
    }
    return PlayerMode::Unknown;
}

int Mp3Player::lengthFromDevice()
{
    openDevice();
    std::uint32_t milliseconds = 0;
    try {
        setTimeFormat(TimeFormat::Milliseconds);
        milliseconds = deviceLength();
    } catch (...) {
        try {
            closeDevice();
        } catch (...) {
        }
        throw;
    }
    closeDevice();
    return static_cast<int>(milliseconds / 1000);
}

void Mp3Player::checkDeviceError(int code) const
{
    if (code != 0)
        throw MediaDeviceError(
            QStringLiteral("%1 - %2").arg(code).arg(deviceErrorMessage(code)).toStdString());
}

QString Mp3Player::deviceErrorMessage(int code) const
{
    return m_devices.errorText(code).value_or(QStringLiteral("Unknown error code"));
}

// A notice that belongs to an earlier play request (the file was stopped and played again
// before it arrived) is dropped. Nothing above this catches, so failures are shown here.
void Mp3Player::onDeviceNotice(std::uint64_t playSerial, MediaNotify flag)
{
    if (playSerial != m_playSerial)
        return;
    try {
        handleDeviceNotice(flag);
    } catch (const std::exception& error) {
        m_devices.reportError(QString::fromStdString(error.what()));
    }
}

void Mp3Player::handleDeviceNotice(MediaNotify flag)
{
    if (flag != MediaNotify::Successful)
        return;
    stop();
    if (onPlayEnd)
        onPlayEnd(this);
}
