#pragma once

#include <QByteArray>
#include <QSharedData>
#include <QSharedDataPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

/// The texts of an event, in the order the events file lists them.
enum class TextField : std::uint8_t
{
    Date,
    Time,
    Title,
    Message,
    SoundFile,
    ExtraFile,
    Status
};

/// Whether bytes are well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
[[nodiscard]] bool isUtf8(std::string_view bytes);
[[nodiscard]] inline bool isUtf8(const QByteArray& bytes)
{
    return isUtf8(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

/// The text of stored bytes: UTF-8 when they are, otherwise Windows-1252, where every byte is a
/// character of its own, so the text reads sensibly and leads back to the same bytes.
[[nodiscard]] QString decodeStored(std::string_view bytes);
[[nodiscard]] inline QString decodeStored(const QByteArray& bytes)
{
    return decodeStored(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

struct StoredTextData : QSharedData
{
    // By TextField; empty for a text that was UTF-8.
    std::array<QByteArray, static_cast<std::size_t>(TextField::Status) + 1> bytes;
};

/// The bytes that the texts of one event were stored as, kept only for those that were not UTF-8,
/// so that a text nobody changed goes back to its file as it came. For an event that was all
/// UTF-8 this is one null pointer. Copies share the bytes.
class StoredText
{
public:
    /// The text of bytes read for field; bytes that are not UTF-8 are kept, in place of any kept
    /// before.
    [[nodiscard]] QString decode(TextField field, std::string_view bytes);
    /// The bytes to store for field: the kept ones while text is still their reading, else UTF-8.
    [[nodiscard]] std::string encode(TextField field, const QString& text) const;
    /// The file-system name of the file field names: the kept bytes while text is still their
    /// reading, else the local encoding of text.
    [[nodiscard]] QByteArray localPath(TextField field, const QString& text) const;

    /// Equal when the same bytes are kept for every field.
    friend bool operator==(const StoredText& a, const StoredText& b);

private:
    /// The bytes kept for field when text is still their reading, otherwise null.
    [[nodiscard]] const QByteArray* unchanged(TextField field, const QString& text) const;

    QSharedDataPointer<StoredTextData> m_data;
};
