#include "base/StoredText.h"

#include <QFile>

namespace {

// Windows-1252 where it differs from Latin-1. The five bytes it leaves undefined map to the
// control characters of the same value, as Windows itself reads them, so no byte is lost.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t cp1252(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t(byte);
}

QString decodeCp1252(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(cp1252(static_cast<unsigned char>(byte)));
    return text;
}

bool readsAsCp1252(const QByteArray& bytes, const QString& text)
{
    if (bytes.size() != text.size())
        return false;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (text[i].unicode() != cp1252(static_cast<unsigned char>(bytes[i])))
            return false;
    return true;
}

std::size_t index(TextField field)
{
    return static_cast<std::size_t>(field);
}

} // namespace

bool isUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        // The ranges of the Unicode standard's table of well-formed sequences: the second byte
        // is narrowed where the lead alone would allow overlong forms, surrogates or values
        // past U+10FFFF.
        std::ptrdiff_t trail = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p <= trail || p[1] < low || p[1] > high)
            return false;
        for (std::ptrdiff_t i = 2; i <= trail; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += trail + 1;
    }
    return true;
}

QString decodeStored(std::string_view bytes)
{
    if (isUtf8(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return decodeCp1252(bytes);
}

QString StoredText::decode(TextField field, std::string_view bytes)
{
    if (isUtf8(bytes)) {
        // Non-const access detaches: only when there is something to clear.
        if (const StoredTextData* data = m_data.constData();
            data && !data->bytes[index(field)].isEmpty())
            m_data->bytes[index(field)].clear();
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    if (!m_data)
        m_data = new StoredTextData;
    m_data->bytes[index(field)] = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return decodeCp1252(bytes);
}

const QByteArray* StoredText::unchanged(TextField field, const QString& text) const
{
    if (!m_data)
        return nullptr;
    const QByteArray& kept = m_data->bytes[index(field)];
    // Empty bytes are UTF-8 and never kept.
    return !kept.isEmpty() && readsAsCp1252(kept, text) ? &kept : nullptr;
}

std::string StoredText::encode(TextField field, const QString& text) const
{
    if (const QByteArray* kept = unchanged(field, text))
        return kept->toStdString();
    return text.toStdString();
}

QByteArray StoredText::localPath(TextField field, const QString& text) const
{
    if (const QByteArray* kept = unchanged(field, text))
        return *kept;
    return QFile::encodeName(text);
}

bool operator==(const StoredText& a, const StoredText& b)
{
    if (a.m_data.constData() == b.m_data.constData())
        return true;
    static const StoredTextData none;
    const StoredTextData& left = a.m_data ? *a.m_data : none;
    const StoredTextData& right = b.m_data ? *b.m_data : none;
    return left.bytes == right.bytes;
}
