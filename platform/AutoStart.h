#pragma once

#include <QString>

/// The start-at-login entry, keyed by the main window's caption.
class AutoStart
{
public:
    virtual ~AutoStart() = default;
    /// Creates or replaces the entry named after caption, starting executablePath.
    /// Throws AppError("Failed to set data for '<caption>'") when it cannot be written.
    virtual void enable(const QString& caption, const QString& executablePath) = 0;
    /// Removes the entry named after caption; a missing entry is no error.
    virtual void disable(const QString& caption) = 0;
};
