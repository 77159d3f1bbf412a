#pragma once

#include <QString>

/// The "Options" section of the settings file, read once at start-up and written as a whole.
struct ProgramSettings
{
    QString LanguageName = QStringLiteral("English");
    int EventCount = 0;
    bool AutoStart = true;
    bool SoundPlay = true;

    /// Missing file or keys give the defaults above.
    [[nodiscard]] static ProgramSettings read(const QString& fileName);
    /// Writes all four keys in one atomic replacement.
    /// Throws AppError("Unable to write to <file>").
    void write(const QString& fileName) const;
};
