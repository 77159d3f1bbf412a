#pragma once

#include <QString>
#include <memory>

namespace profile {
class ProfileSession;
}

/// One reading of a language file's "Interface" section. A missing file, section or key leaves
/// the caller's current text.
class LanguageFile
{
public:
    /// The file "language/<fileName>" in the current folder or, when it is not there, in the
    /// program's language folder (a program started at login or from a menu runs in the home
    /// folder).
    LanguageFile(const QString& fileName, const QString& languageFolder);
    ~LanguageFile();
    LanguageFile(const LanguageFile&) = delete;
    LanguageFile& operator=(const LanguageFile&) = delete;

    [[nodiscard]] static QString pathFor(const QString& fileName, const QString& languageFolder);

    /// The key's text, or current when the key is missing.
    [[nodiscard]] QString text(const char* key, const QString& current) const;
    /// Assigns the key's text to target when the key is present.
    void apply(const char* key, QString& target) const { target = text(key, target); }

private:
    std::unique_ptr<profile::ProfileSession> m_file;
};
