#include "media/Id3File.h"

#include "base/AppError.h"
#include "base/FileDescriptor.h"
#include "base/StoredText.h"
#include "media/GenreNames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr off_t TagSize = sizeof(Id3v1Tag);

/// The user's wording for an errno, in the runtime's terms where one exists.
std::string causeText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return "File access denied";
    case ENOENT:
        return "File not found";
    case ENOTDIR:
        return "Path not found";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Disk full";
    default:
        return std::string("File input/output error: ") + std::strerror(error);
    }
}

[[noreturn]] void failWith(int error)
{
    throw AppError(causeText(error));
}

bool startsWithTag(const Id3v1Tag& tag)
{
    // The marker is read as text, so a zero byte ends it early.
    return std::strncmp(tag.tag, "TAG", sizeof tag.tag) == 0;
}

/// Reads exactly size bytes at offset; false on a short read (end of file), errno on failure.
bool readAt(int fd, void* buffer, std::size_t size, off_t offset, int& error)
{
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, out + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = errno;
            return false;
        }
        if (n == 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

/// Writes all bytes at offset; returns errno, or 0 on success.
int writeAt(int fd, const void* buffer, std::size_t size, off_t offset)
{
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, in + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace

Id3v1Tag id3EmptyTag()
{
    Id3v1Tag tag{};
    std::memcpy(tag.tag, "TAG", sizeof tag.tag);
    return tag;
}

Id3v1Tag id3ReadFile(const QByteArray& path)
{
    const std::string cannotOpen = "Cannot open file " + decodeStored(path).toStdString();
    // Non-blocking, so a named pipe in place of a sound file cannot hold the alarm up.
    FileDescriptor file(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info
    {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw AppError(cannotOpen);
    if (info.st_size < TagSize)
        return id3EmptyTag();

    Id3v1Tag tag{};
    int error = 0;
    if (!readAt(file.get(), &tag, sizeof tag, info.st_size - TagSize, error)) {
        if (error != 0)
            throw AppError("Cannot read file " + decodeStored(path).toStdString());
        return id3EmptyTag(); // shrunk since fstat
    }
    return startsWithTag(tag) ? tag : id3EmptyTag();
}

void id3WriteFile(const QByteArray& path, const Id3v1Tag& tag)
{
    FileDescriptor file(::open(path.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    if (!file.valid())
        failWith(errno);
    struct stat info
    {};
    if (::fstat(file.get(), &info) != 0)
        failWith(errno);
    if (!S_ISREG(info.st_mode))
        failWith(EACCES);
    // The old tag would start before the first byte: there is no place to put one.
    if (info.st_size < TagSize)
        throw AppError("File too short for a tag: fewer than 128 bytes");

    Id3v1Tag old{};
    int error = 0;
    if (!readAt(file.get(), &old, sizeof old, info.st_size - TagSize, error)) {
        if (error != 0)
            failWith(error);
        throw AppError("Read beyond end of file");
    }

    const off_t at = startsWithTag(old) ? info.st_size - TagSize : info.st_size;
    error = writeAt(file.get(), &tag, sizeof tag, at);
    if (error == 0 && ::fsync(file.get()) != 0)
        error = errno;
    if (error != 0) {
        // Leave no half tag behind an MP3 that had none; the append failure is the one to report.
        if (at == info.st_size) {
            [[maybe_unused]] const int truncated = ::ftruncate(file.get(), info.st_size);
        }
        failWith(error);
    }
    if (const int closeError = file.close(); closeError != 0)
        failWith(closeError);
}

QString id3FieldText(const char* field, std::size_t width)
{
    // Tag texts are 8-bit: Latin-1 both ways, so what a written tag holds reads back the same.
    std::size_t length = 0;
    while (length < width && field[length] != '\0')
        ++length;
    return QString::fromLatin1(field, static_cast<qsizetype>(length));
}

QString id3GenreText(int index)
{
    if (static_cast<unsigned>(index) <= static_cast<unsigned>(MaxGenreIndex))
        return QString::fromLatin1(GenreNames[static_cast<std::size_t>(index)]);
    return QString::number(index);
}
