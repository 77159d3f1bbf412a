#pragma once

#include <QString>

/// Asynchronous wave sound: one at a time, a new one cuts the old; a file that cannot be
/// played gives the default sound.
class WaveSound
{
public:
    virtual ~WaveSound() = default;
    virtual void play(const QString& fileName) = 0;
};
