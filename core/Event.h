#pragma once

#include <QString>

/// One reminder. Dates and times are texts ("dd.MM.yyyy", "HH:mm:ss"); the status is the
/// visible status word of the language in force when it was set, never a code.
struct Event
{
    QString date;
    QString time;
    QString title;
    QString message;
    QString soundFile;
    QString extraFile;
    QString status;
    bool countdown = false;

    friend bool operator==(const Event&, const Event&) = default;
};
