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
    /// Closing the window hides it in the tray instead of ending the program.
    bool closeToTray = false;
    /// A start shows only the tray icon.
    bool startHidden = false;

    /// Missing file or keys give the defaults above.
    [[nodiscard]] static ProgramSettings read(const QString& fileName);
    /// Writes all four keys in one atomic replacement.
    /// Throws AppError("Unable to write to <file>").
    void write(const QString& fileName) const;
};
