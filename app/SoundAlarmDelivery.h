#pragma once

#include "core/AlarmDelivery.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class MediaDeviceFactory;
class Shell;
class Mp3Player;
class WaveSound;

/// Sounds and extra files of due events: ".wav" through the wave sound, anything else through a
/// new player. A player that is replaced plays on to its end and is released then.
class SoundAlarmDelivery final : public QObject, public AlarmDelivery
{
    Q_OBJECT
public:
    SoundAlarmDelivery(WaveSound& wave, Shell& shell, MediaDeviceFactory& devices,
                       QString defaultSoundFile);
    ~SoundAlarmDelivery() override;

    void startSound(const Event& event) override;
    void openExtraFile(const Event& event) override;
    void afterMessage() override;
    [[nodiscard]] QStringList takeErrors() override;

    /// The part of the name from its last "." on, dot included; empty without one.
    [[nodiscard]] static QString extensionOf(const QString& fileName);

    [[nodiscard]] const QString& lastSoundExt() const { return m_lastSoundExt; }
    [[nodiscard]] Mp3Player* alarmPlayer() const { return m_alarmPlayer.get(); }
    [[nodiscard]] std::size_t playersPlayingOn() const { return m_playingOn.size(); }

private:
    void retire(std::unique_ptr<Mp3Player> player);
    void release(Mp3Player* player);

    WaveSound& m_wave;
    Shell& m_shell;
    MediaDeviceFactory& m_devices;
    QString m_defaultSoundFile;
    QString m_lastSoundExt;
    std::unique_ptr<Mp3Player> m_alarmPlayer;
    std::vector<std::unique_ptr<Mp3Player>> m_playingOn;
    QStringList m_errors;
};
