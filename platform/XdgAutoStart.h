#pragma once

#include "platform/AutoStart.h"

#include <QString>

/// Start at login through an XDG autostart entry: "<caption>.desktop" in the autostart folder.
class XdgAutoStart : public AutoStart
{
public:
    /// Uses $XDG_CONFIG_HOME/autostart (default ~/.config/autostart), read at each call.
    XdgAutoStart() = default;
    /// Uses the given folder instead of the environment's.
    explicit XdgAutoStart(QString folder);

    void enable(const QString& caption, const QString& executablePath) override;
    void disable(const QString& caption) override;

    /// The folder the entries go to.
    [[nodiscard]] QString folder() const;
    /// The entry's file path for caption, always inside folder().
    [[nodiscard]] QString entryPath(const QString& caption) const;

    /// The file name for caption: "/" and control characters become "_", never empty.
    [[nodiscard]] static QString fileNameFor(const QString& caption);
    /// The whole entry text. Throws AppError when executablePath cannot be expressed.
    [[nodiscard]] static QByteArray entryText(const QString& caption,
                                              const QString& executablePath);
    /// The Exec= value: the path quoted and escaped for the Exec key and as a string value;
    /// a path holding "%" is handed to /bin/sh, which runs it.
    [[nodiscard]] static QString execValue(const QString& executablePath);
    /// A string value escaped by the Desktop Entry rules.
    [[nodiscard]] static QString escapeString(const QString& value);

private:
    QString m_folder; // empty: from the environment
};
