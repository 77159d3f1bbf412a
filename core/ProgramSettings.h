#pragma once

#include <QString>
#include <optional>

/// The "Options" section of the settings file, read once at start-up and written as a whole.
struct ProgramSettings
{
    QString languageName = QStringLiteral("English");
    /// How many events the events file holds for the next start; nothing when the key is
    /// missing or not a count (then every event of the file is read, and none is written).
    std::optional<int> eventCount;
    bool autoStart = true;
    bool soundPlay = true;
    /// A desktop notification goes with each alarm message.
    bool notify = true;
    /// The column the list is sorted by; -1: the file's order.
    int sortColumn = -1;
    bool sortDescending = false;
    /// Done events are left out of the list.
    bool hideDone = false;
    /// Closing the window hides it in the tray instead of ending the program.
    bool closeToTray = false;
    /// A start shows only the tray icon.
    bool startHidden = false;

    /// Missing file or keys give the defaults above.
    [[nodiscard]] static ProgramSettings read(const QString& fileName);
    /// Writes the keys in one atomic replacement; the list's view only once it differs from the
    /// file's order or the file holds it.
    /// Throws AppError("Unable to write to <file>").
    void write(const QString& fileName) const;
};
