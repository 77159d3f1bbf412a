#pragma once

#include "base/StoredText.h"

#include <QByteArray>
#include <QString>

/// One reminder. Dates and times are texts ("dd.MM.yyyy", "HH:mm:ss"); the status is the
/// visible status word of the language in force when it was set, never a code.
/// Change a record by editing a copy of it: a record built afresh forgets the stored bytes of the
/// texts nobody touched.
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
    /// How the event repeats, as the events file stores it; empty: once. Kept byte for byte, so
    /// that a word this version does not know survives a save.
    QByteArray repeat = {};
    /// The day of the month a monthly or yearly event was set for, while its date had to fall
    /// on a shorter month's last day; 0: the date's own day.
    int repeatDay = 0;
    /// The calendar's identifier of the event it was imported from or exported as; empty: none.
    QByteArray uid = {};
    /// The bytes the texts came as from the events file, where they were not UTF-8.
    StoredText stored = {};

    /// The sound file's name as the file system spells it.
    [[nodiscard]] QByteArray soundFilePath() const
    {
        return stored.localPath(TextField::SoundFile, soundFile);
    }
    /// The extra file's name as the file system spells it.
    [[nodiscard]] QByteArray extraFilePath() const
    {
        return stored.localPath(TextField::ExtraFile, extraFile);
    }

    friend bool operator==(const Event&, const Event&) = default;
};
