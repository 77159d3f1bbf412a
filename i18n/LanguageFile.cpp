#include "i18n/LanguageFile.h"

#include "inifile/ProfileSession.h"

#include <QDir>
#include <QFileInfo>

namespace {
const std::string kInterface = "Interface";
}

LanguageFile::LanguageFile(const QString& fileName, const QString& languageFolder)
    : m_file(std::make_unique<profile::ProfileSession>(
          pathFor(fileName, languageFolder).toStdString()))
{}

LanguageFile::~LanguageFile() = default;

QString LanguageFile::pathFor(const QString& fileName, const QString& languageFolder)
{
    const QString local = QStringLiteral("language/") + fileName;
    if (QFileInfo::exists(local) || languageFolder.isEmpty())
        return local;
    return QDir(languageFolder).filePath(fileName);
}

QString LanguageFile::text(const char* key, const QString& current) const
{
    // A reserved default tells a missing key from one present with an empty value.
    static const std::string missing("\x01missing\x01");
    const std::string value = m_file->readString(kInterface, key, missing);
    return value == missing ? current : QString::fromStdString(value);
}
