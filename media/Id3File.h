#pragma once

#include "media/Id3v1Tag.h"

#include <QByteArray>
#include <QString>
#include <cstddef>

/// The empty tag: zero bytes with "TAG" in front.
[[nodiscard]] Id3v1Tag id3EmptyTag();
/// Reads the tag at the end of the file, named as the file system spells it; the empty tag when
/// there is none. Throws AppError("Cannot open file <path>") when the file cannot be opened for
/// reading.
[[nodiscard]] Id3v1Tag id3ReadFile(const QByteArray& path);
/// Overwrites the file's tag, or appends one when it has none. Throws AppError naming the
/// failed step's cause ("File access denied" for a read-only file).
void id3WriteFile(const QByteArray& path, const Id3v1Tag& tag);
/// A tag field as text: Latin-1, up to the first zero byte or the field's width.
[[nodiscard]] QString id3FieldText(const char* field, std::size_t width);
/// The genre's name for 0..147, otherwise the index in decimal.
[[nodiscard]] QString id3GenreText(int index);
