// Feeds arbitrary bytes to the ID3v1 reader as an MP3 file. Checks: no crash or sanitizer report,
// the tag read is the file's last 128 bytes exactly when they start with "TAG" (else the empty
// tag), its texts fit their fields, and a tag written back reads back the same.
#include "base/AppError.h"
#include "fuzz/FuzzSupport.h"
#include "media/Id3File.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>

namespace {

using fuzz::check;

bool sameTag(const Id3v1Tag& a, const Id3v1Tag& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

template <std::size_t Width> void checkText(const char (&field)[Width])
{
    const QString text = id3FieldText(field, Width);
    check(text.size() <= static_cast<qsizetype>(Width), "a tag text longer than its field");
    check(!text.contains(QChar(u'\0')), "a tag text holds a zero");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzDir dir("fuzz-id3");
    const std::string fileName = dir.file("sound.mp3");
    const QByteArray path = QByteArray::fromStdString(fileName);
    fuzz::writeBytes(fileName, std::string(reinterpret_cast<const char*>(data), size));

    const Id3v1Tag tag = id3ReadFile(path);
    const bool tagged = size >= sizeof tag && std::memcmp(data + size - sizeof tag, "TAG", 3) == 0;
    check(sameTag(tag, tagged ? *reinterpret_cast<const Id3v1Tag*>(data + size - sizeof tag)
                              : id3EmptyTag()),
          "the tag read is not the file's last 128 bytes");
    checkText(tag.title);
    checkText(tag.artist);
    checkText(tag.album);
    checkText(tag.year);
    checkText(tag.comment);
    check(!id3GenreText(tag.genre).isEmpty(), "a genre without a text");
    check(id3GenreText(static_cast<std::int8_t>(tag.genre)).size() > 0, "a genre without a text");

    // The tag written back: in place over a tag, appended after anything else of 128 bytes.
    Id3v1Tag changed = tag;
    if (size > 0)
        std::memcpy(changed.title, data, std::min(size, sizeof changed.title));
    changed.genre = static_cast<std::uint8_t>(size);
    try {
        id3WriteFile(path, changed);
        check(size >= sizeof tag, "a tag written into a file shorter than one");
    } catch (const AppError&) {
        check(size < sizeof tag, "a tag write refused");
        return 0;
    }
    struct stat info
    {};
    check(::stat(fileName.c_str(), &info) == 0, "the file is gone");
    check(static_cast<std::size_t>(info.st_size) == (tagged ? size : size + sizeof tag),
          "the file has the wrong size after a tag write");
    check(sameTag(id3ReadFile(path), changed), "a written tag reads back differently");
    return 0;
}
