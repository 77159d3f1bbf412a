#pragma once

#include "app/AlarmDelivery.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class MediaDeviceFactory;
class Shell;
class TcmxMP3;
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

    void startSound(const Events& event) override;
    void openExtraFile(const Events& event) override;
    void afterMessage() override;
    [[nodiscard]] QStringList takeErrors() override;

    /// The part of the name from its last "." on, dot included; empty without one.
    [[nodiscard]] static QString extensionOf(const QString& fileName);

    [[nodiscard]] const QString& lastSoundExt() const { return LastSoundExt; }
    [[nodiscard]] TcmxMP3* alarmPlayer() const { return AlarmPlayer.get(); }
    [[nodiscard]] std::size_t playersPlayingOn() const { return m_playingOn.size(); }

private:
    void retire(std::unique_ptr<TcmxMP3> player);
    void release(TcmxMP3* player);

    WaveSound& m_wave;
    Shell& m_shell;
    MediaDeviceFactory& m_devices;
    QString m_defaultSoundFile;
    QString LastSoundExt;
    std::unique_ptr<TcmxMP3> AlarmPlayer;
    std::vector<std::unique_ptr<TcmxMP3>> m_playingOn;
    QStringList m_errors;
};
