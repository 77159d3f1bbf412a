#pragma once

#include <QString>

/// One reminder. Dates and times are texts ("dd.MM.yyyy", "HH:mm:ss"); the status is the
/// visible status word of the language in force when it was set, never a code.
struct Events
{
    QString Date;
    QString Time;
    QString Title;
    QString Message;
    QString SoundFile;
    QString ExtraFile;
    QString Status;
    bool Countdown = false;

    friend bool operator==(const Events&, const Events&) = default;
};
