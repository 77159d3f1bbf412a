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

    /// The key's text, or current when the key is missing. A file not in UTF-8 is read in its
    /// language's 8-bit code page: Windows-1251 for Cyrillic languages, Windows-1252 otherwise.
    [[nodiscard]] QString text(const char* key, const QString& current) const;
    /// The Qt locale the language stands for: its "Locale" key, or for a file without one "ru"
    /// for Russian.ini and "en" for any other.
    [[nodiscard]] QString locale() const { return m_locale; }
    /// Assigns the key's text to target when the key is present.
    void apply(const char* key, QString& target) const { target = text(key, target); }

private:
    std::unique_ptr<profile::ProfileSession> m_file;
    QString m_locale;
    bool m_cyrillic = false;
};
