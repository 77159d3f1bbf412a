#pragma once

#include <QByteArray>

/// Asynchronous wave sound: one at a time, a new one cuts the old; a file that cannot be
/// played gives the default sound.
class WaveSound
{
public:
    virtual ~WaveSound() = default;
    /// Plays the file of that name as the file system spells it, whatever its encoding.
    virtual void play(const QByteArray& path) = 0;
};
