#include "app/SoundAlarmDelivery.h"

#include "app/Events.h"
#include "media/TcmxMP3.h"
#include "platform/Shell.h"
#include "platform/WaveSound.h"

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
    if (AlarmPlayer)
        AlarmPlayer->Stop();
    for (const auto& player : m_playingOn)
        player->Stop();
}

QString SoundAlarmDelivery::extensionOf(const QString& fileName)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? fileName.mid(dot) : QString();
}

void SoundAlarmDelivery::startSound(const Events& event)
{
    if (event.SoundFile.isEmpty())
        return;
    LastSoundExt = extensionOf(event.SoundFile);
    if (LastSoundExt == QLatin1String(".wav")) {
        m_wave.play(event.SoundFile);
        return;
    }
    try {
        auto player = std::make_unique<TcmxMP3>(event.SoundFile, m_devices);
        player->Play();
        retire(std::exchange(AlarmPlayer, std::move(player)));
    } catch (const AppError& error) {
        // The alarm still sounds, and the rest of the tick is still delivered; the user learns
        // why after the message.
        m_errors << QString::fromStdString(error.what());
        m_wave.play(m_defaultSoundFile);
    }
}

void SoundAlarmDelivery::openExtraFile(const Events& event)
{
    if (!event.ExtraFile.isEmpty())
        m_shell.openFile(event.ExtraFile);
}

void SoundAlarmDelivery::afterMessage()
{
    if (LastSoundExt == QLatin1String(".mp3") && AlarmPlayer)
        AlarmPlayer->Stop();
}

QStringList SoundAlarmDelivery::takeErrors()
{
    return std::exchange(m_errors, {});
}

void SoundAlarmDelivery::retire(std::unique_ptr<TcmxMP3> player)
{
    if (!player)
        return;
    if (player->getState() == TMPMode::mpUnknown)
        return; // already ended and closed: released here
    TcmxMP3* raw = player.get();
    raw->OnPlayEnd = [this](TcmxMP3* sender) {
        // Not from inside the player's own notice.
        QTimer::singleShot(0, this, [this, sender] { release(sender); });
    };
    m_playingOn.push_back(std::move(player));
}

void SoundAlarmDelivery::release(TcmxMP3* player)
{
    std::erase_if(m_playingOn, [player](const auto& p) { return p.get() == player; });
}
