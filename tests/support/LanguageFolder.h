#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

/// A temporary current folder with a "language" folder in it, where language files are looked up.
/// The previous current folder comes back at the end.
class LanguageFolder
{
public:
    LanguageFolder() : m_previous(QDir::currentPath())
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("language")));
        QDir::setCurrent(m_dir.path());
    }
    ~LanguageFolder() { QDir::setCurrent(m_previous); }
    LanguageFolder(const LanguageFolder&) = delete;
    LanguageFolder& operator=(const LanguageFolder&) = delete;

    /// Writes language/<name>: an "Interface" section holding the given "key=value" lines.
    void write(const QString& name, const QStringList& lines) const
    {
        QFile file(m_dir.filePath(QStringLiteral("language/") + name));
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write("[Interface]\n");
        for (const QString& line : lines)
            file.write(line.toUtf8() + '\n');
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
