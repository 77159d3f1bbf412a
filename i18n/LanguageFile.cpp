#include "i18n/LanguageFile.h"

#include "base/StoredText.h"
#include "inifile/ProfileSession.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {
const std::string kInterface = "Interface";
// A reserved default tells a missing key from one present with an empty value.
const std::string kMissing("\x01missing\x01");

// Windows-1251 from 0x80 to 0xBF; from 0xC0 on it runs through U+0410 to U+044F. 0x98 is
// unassigned and reads as the control character of the same number, as Windows reads it.
constexpr char16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

// Qt 6.4 decodes no 8-bit code page but Latin-1, hence the table.
QString decodeCp1251(const std::string& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += QChar(byte < 0x80   ? char16_t(byte)
                      : byte < 0xC0 ? kCp1251High[byte - 0x80]
                                    : char16_t(0x0410 + (byte - 0xC0)));
    }
    return text;
}
} // namespace

LanguageFile::LanguageFile(const QString& fileName, const QString& languageFolder)
    : m_file(std::make_unique<profile::ProfileSession>(
          pathFor(fileName, languageFolder).toStdString()))
{
    const std::string locale = m_file->readString(kInterface, "Locale", kMissing);
    if (locale != kMissing)
        m_locale = QString::fromLatin1(locale).trimmed();
    else
        m_locale = fileName.compare(QStringLiteral("Russian.ini"), Qt::CaseInsensitive) == 0
                       ? QStringLiteral("ru")
                       : QStringLiteral("en");
    static const QStringList cyrillic{QStringLiteral("ru"), QStringLiteral("uk"),
                                      QStringLiteral("be"), QStringLiteral("bg"),
                                      QStringLiteral("sr"), QStringLiteral("mk")};
    m_cyrillic = cyrillic.contains(m_locale.section(QLatin1Char('_'), 0, 0).toLower());
}

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
    const std::string value = m_file->readString(kInterface, key, kMissing);
    if (value == kMissing)
        return current;
    return m_cyrillic && !isUtf8(value) ? decodeCp1251(value) : decodeStored(value);
}
