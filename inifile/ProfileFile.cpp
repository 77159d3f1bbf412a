#include "inifile/ProfileFile.h"

#include "base/AppError.h"
#include "base/FileDescriptor.h"
#include "base/HugePages.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace profile {

namespace {

// The reason goes with the message: a full disk and a read-only file need different fixes.
[[noreturn]] void refuse(const std::string& fileName, int error)
{
    throw AppError("Unable to write to " + fileName + ": " + std::strerror(error));
}

bool writeAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

/// Gathers the pieces into large writes; after a failed write it writes nothing more.
class DescriptorSink final : public ContentSink
{
public:
    explicit DescriptorSink(int fd) : m_fd(fd) { m_buffer.reserve(Capacity); }

    void append(std::string_view piece) override
    {
        if (m_buffer.size() + piece.size() > Capacity) {
            flush();
            if (piece.size() >= Capacity) {
                write(piece);
                return;
            }
        }
        m_buffer += piece;
    }
    /// Writes what is left; the errno of the first failed write, or 0.
    [[nodiscard]] int finish()
    {
        flush();
        return m_error;
    }

private:
    static constexpr std::size_t Capacity = 64 * 1024;

    void write(std::string_view piece)
    {
        if (m_error == 0 && !writeAll(m_fd, piece))
            m_error = errno;
    }
    void flush()
    {
        write(m_buffer);
        m_buffer.clear();
    }

    int m_fd;
    std::string m_buffer;
    int m_error = 0;
};

// Follows a symbolic link so that the link survives the rename; a dangling link is replaced.
std::string resolveTarget(const std::string& fileName)
{
    struct stat info
    {};
    if (::lstat(fileName.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return fileName;
    std::array<char, PATH_MAX> resolved{};
    if (::realpath(fileName.c_str(), resolved.data()) == nullptr)
        return fileName;
    return resolved.data();
}

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U;
}

// ".<name>." of the temporary files of target. The name is kept short enough for any file
// system, whatever the target's name.
std::string temporaryPrefix(const std::string& target)
{
    std::string name = fileNameOf(target);
    if (name.size() > 100) {
        // Back off to the lead byte of a character cut in two (at most three continuation bytes).
        std::size_t end = 100;
        while (end > 97 && isContinuationByte(name[end]))
            --end;
        name.resize(end);
    }
    return "." + name + ".";
}

constexpr std::size_t randomDigits = 16;
constexpr std::string_view temporarySuffix = ".tmp";

bool isTemporaryName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + randomDigits + temporarySuffix.size() ||
        !name.starts_with(prefix) || !name.ends_with(temporarySuffix))
        return false;
    const std::string_view digits = name.substr(prefix.size(), randomDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// 0644 less the umask, the bits a new file gets. Read from /proc: umask() cannot read the mask
// without setting it, and other threads may be creating files meanwhile.
mode_t newFileMode()
{
    constexpr std::string_view field = "\nUmask:";
    const FileContent status = readWholeFile("/proc/self/status");
    const std::size_t at = status.bytes.find(field);
    if (at != std::string::npos) {
        const char* digits = status.bytes.c_str() + at + field.size();
        char* end = nullptr;
        const unsigned long mask = std::strtoul(digits, &end, 8);
        if (end != digits)
            return 0644 & ~static_cast<mode_t>(mask);
    }
    // No /proc: a file created in this short window gets stricter bits, never looser ones.
    const mode_t mask = ::umask(077);
    ::umask(mask);
    return 0644 & ~mask;
}

void syncDirectory(const std::string& dir)
{
    FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // Best effort: the rename is already done; this only hurries it to the disk.
    if (fd.valid())
        (void)::fsync(fd.get());
}

} // namespace

FileContent readWholeFile(const std::string& fileName)
{
    FileContent result;
    FileDescriptor fd(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        result.status =
            errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unreadable;
        result.error = errno;
        return result;
    }
    struct stat info
    {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        result.status = ReadStatus::Unreadable;
        result.error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return result;
    }
    // Lines keep 32-bit lengths; no initialisation file comes near this.
    constexpr std::size_t maxSize = 0xFFFFFFFF;
    const auto tooBig = [&result] {
        result.status = ReadStatus::Unreadable;
        result.error = EFBIG;
        result.bytes.clear();
        return result;
    };
    if (static_cast<std::uint64_t>(info.st_size) > maxSize)
        return tooBig();
    result.bytes.reserve(static_cast<std::size_t>(info.st_size));
    memory::adviseHugePages(result.bytes.data(), result.bytes.capacity());
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            result.status = ReadStatus::Unreadable;
            result.error = errno;
            result.bytes.clear();
            return result;
        }
        result.bytes.append(buffer.data(), static_cast<std::size_t>(got));
        if (result.bytes.size() > maxSize) // grew while being read
            return tooBig();
    }
    result.status = ReadStatus::Ok;
    return result;
}

TemporaryFile createTemporaryFile(const std::string& target)
{
    const std::string dir = target.substr(0, target.size() - fileNameOf(target).size());
    const std::string prefix = dir + temporaryPrefix(target);
    std::random_device seed;
    std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) ^ seed());
    std::string name;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::array<char, randomDigits + 1> digits{};
        std::snprintf(digits.data(), digits.size(), "%016llx",
                      static_cast<unsigned long long>(random()));
        name = prefix + digits.data() + std::string(temporarySuffix);
        // Owner only until it is complete: fchmod gives it its final bits just before the rename.
        // O_EXCL so that nothing existing, not even a planted link, is ever reused.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        const int error = fd >= 0 ? 0 : errno;
        if (fd >= 0 || error != EEXIST)
            return {FileDescriptor(fd), fd >= 0 ? name : std::string(), error};
    }
    return {FileDescriptor(-1), std::string(), EEXIST};
}

void removeStaleTemporaries(const std::string& fileName)
{
    const std::string target = resolveTarget(fileName);
    const std::string prefix = temporaryPrefix(target);
    if (prefix.size() == 2)
        return; // a directory name ending in "/": it has no temporaries of its own
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directoryOf(target).c_str()),
                                                  &::closedir);
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!isTemporaryName(entry->d_name, prefix))
            continue;
        struct stat info
        {};
        // Relative to the open directory and without following links: what is checked is what
        // is removed, and unlinkat() without AT_REMOVEDIR never removes a directory.
        if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode))
            (void)::unlinkat(dirFd, entry->d_name, 0);
    }
}

void replaceFileAtomically(const std::string& fileName, std::string_view content)
{
    replaceFileAtomically(fileName, [content](ContentSink& sink) { sink.append(content); });
}

void replaceFileAtomically(const std::string& fileName,
                           const std::function<void(ContentSink&)>& produce)
{
    const std::string target = resolveTarget(fileName);

    struct stat info
    {};
    bool exists = false;
    if (::stat(target.c_str(), &info) == 0) {
        exists = true;
        // rename() would happily replace a read-only file, or a device node, when run as root.
        if (!S_ISREG(info.st_mode))
            refuse(fileName, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        if ((info.st_mode & S_IWUSR) == 0)
            refuse(fileName, EACCES);
        if (::access(target.c_str(), W_OK) != 0)
            refuse(fileName, errno);
    } else if (errno != ENOENT) {
        refuse(fileName, errno);
    }

    TemporaryFile temp = createTemporaryFile(target);
    if (!temp.fd.valid())
        refuse(fileName, temp.error);

    const int fd = temp.fd.get();
    // Root replacing someone's file must not hand it over to root. Owner before mode: a change
    // of owner clears the set-user-ID and set-group-ID bits.
    const bool ownerKept =
        !exists || ::geteuid() != 0 || ::fchown(fd, info.st_uid, info.st_gid) == 0;
    int error = ownerKept ? 0 : errno;
    try {
        DescriptorSink sink(fd);
        produce(sink);
        if (const int failed = sink.finish(); error == 0)
            error = failed;
    } catch (...) {
        ::unlink(temp.name.c_str());
        throw;
    }
    // Each step runs only while all before it succeeded; the first failure's errno is kept.
    const auto step = [&error](bool ok) {
        if (error == 0 && !ok)
            error = errno;
    };
    // The mode before fsync, so that the final bits reach the disk together with the content.
    if (error == 0)
        step(::fchmod(fd, exists ? info.st_mode & 07777 : newFileMode()) == 0);
    if (error == 0)
        step(::fsync(fd) == 0);
    const int closed = temp.fd.close();
    step(closed == 0);
    if (error == 0)
        step(::rename(temp.name.c_str(), target.c_str()) == 0);
    if (error != 0) {
        ::unlink(temp.name.c_str());
        refuse(fileName, error);
    }
    syncDirectory(directoryOf(target));
}

} // namespace profile
