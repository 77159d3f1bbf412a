#include "i18n/LanguageFile.h"

#include "inifile/ProfileSession.h"

namespace {
const std::string kInterface = "Interface";
}

LanguageFile::LanguageFile(const QString& fileName)
    : m_file(std::make_unique<ProfileSession>(pathFor(fileName).toStdString()))
{}

LanguageFile::~LanguageFile() = default;

QString LanguageFile::pathFor(const QString& fileName)
{
    return QStringLiteral("language/") + fileName;
}

QString LanguageFile::text(const char* key, const QString& current) const
{
    // A reserved default tells a missing key from one present with an empty value.
    static const std::string missing("\x01missing\x01");
    const std::string value = m_file->readString(kInterface, key, missing);
    return value == missing ? current : QString::fromStdString(value);
}
