#include "app/SoundAlarmDelivery.h"

#include "core/Event.h"
#include "media/Mp3Player.h"
#include "platform/Shell.h"
#include "platform/WaveSound.h"

#include <QFile>
#include <QTimer>
#include <algorithm>

SoundAlarmDelivery::SoundAlarmDelivery(WaveSound& wave, Shell& shell, MediaDeviceFactory& devices,
                                       QString defaultSoundFile)
    : m_wave(wave), m_shell(shell), m_devices(devices),
      m_defaultSoundFile(std::move(defaultSoundFile))
{}

SoundAlarmDelivery::~SoundAlarmDelivery()
{
    // A player does not stop itself when destroyed.
    if (m_alarmPlayer)
        m_alarmPlayer->stop();
    for (const auto& player : m_playingOn)
        player->stop();
}

QString SoundAlarmDelivery::extensionOf(const QString& fileName)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? fileName.mid(dot) : QString();
}

void SoundAlarmDelivery::startSound(const Event& event)
{
    if (event.soundFile.isEmpty())
        return;
    m_lastSoundExt = extensionOf(event.soundFile);
    // The file's own bytes: a name stored in an 8-bit code page still finds its file.
    const QByteArray path = event.soundFilePath();
    if (m_lastSoundExt == QLatin1String(".wav")) {
        m_wave.play(path);
        return;
    }
    try {
        auto player = std::make_unique<Mp3Player>(path, m_devices);
        player->play();
        retire(std::exchange(m_alarmPlayer, std::move(player)));
    } catch (const AppError& error) {
        // The alarm still sounds, and the rest of the tick is still delivered; the user learns
        // why after the message.
        m_errors << QString::fromStdString(error.what());
        m_wave.play(QFile::encodeName(m_defaultSoundFile));
    }
}

void SoundAlarmDelivery::openExtraFile(const Event& event)
{
    if (!event.extraFile.isEmpty())
        m_shell.openFile(event.extraFilePath());
}

void SoundAlarmDelivery::afterMessage()
{
    if (m_lastSoundExt == QLatin1String(".mp3") && m_alarmPlayer)
        m_alarmPlayer->stop();
}

QStringList SoundAlarmDelivery::takeErrors()
{
    return std::exchange(m_errors, {});
}

void SoundAlarmDelivery::retire(std::unique_ptr<Mp3Player> player)
{
    if (!player)
        return;
    if (player->state() == PlayerMode::Unknown)
        return; // already ended and closed: released here
    Mp3Player* raw = player.get();
    raw->onPlayEnd = [this](Mp3Player* sender) {
        // Not from inside the player's own notice.
        QTimer::singleShot(0, this, [this, sender] { release(sender); });
    };
    m_playingOn.push_back(std::move(player));
}

void SoundAlarmDelivery::release(Mp3Player* player)
{
    std::erase_if(m_playingOn, [player](const auto& p) { return p.get() == player; });
}
