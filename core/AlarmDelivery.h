#pragma once

#include <QString>
#include <QStringList>

struct Event;

/// What a due event sets off besides its message: its sound and its extra file.
class AlarmDelivery
{
public:
    virtual ~AlarmDelivery() = default;
    /// Starts the event's sound, if it has one. Never throws: a sound that cannot be played falls
    /// back to the default sound and its error waits in takeErrors().
    virtual void startSound(const Event& event) = 0;
    /// Opens the event's extra file, if it has one; the outcome is not reported.
    virtual void openExtraFile(const Event& event) = 0;
    /// After the alarm message was closed: stops an MP3 alarm sound.
    virtual void afterMessage() = 0;
    /// The errors gathered since the last call, for the error box after the message.
    [[nodiscard]] virtual QStringList takeErrors() = 0;
};
