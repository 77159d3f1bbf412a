#pragma once

#include <QString>

/// The "Options" section of the settings file, read once at start-up and written as a whole.
struct ProgramSettings
{
    QString languageName = QStringLiteral("English");
    int eventCount = 0;
    bool autoStart = true;
    bool soundPlay = true;

    /// Missing file or keys give the defaults above.
    [[nodiscard]] static ProgramSettings read(const QString& fileName);
    /// Writes all four keys in one atomic replacement.
    /// Throws AppError("Unable to write to <file>").
    void write(const QString& fileName) const;
};
