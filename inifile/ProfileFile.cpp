#include "inifile/ProfileFile.h"

#include "platform/AppError.h"
#include "inifile/FileDescriptor.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace profile {

namespace {

[[noreturn]] void refuse(const std::string& fileName)
{
    throw AppError("Unable to write to " + fileName);
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

// Creates a new file beside the target; O_EXCL so that nothing existing is ever reused.
int createTemporary(const std::string& target, std::string& tempName)
{
    const std::size_t slash = target.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    // Keep the name short enough for any file system, whatever the target's name.
    const std::string base = target.substr(dir.size()).substr(0, 100);
    const std::string prefix = dir + "." + base + ".";
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = prefix + std::to_string(random() % 1000000000U) + ".tmp";
        // 0666 lets the umask decide the bits of a new file, as for any file the user creates.
        const int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
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
        return result;
    }
    struct stat info
    {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        result.status = ReadStatus::Unreadable;
        return result;
    }
    result.bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            result.status = ReadStatus::Unreadable;
            result.bytes.clear();
            return result;
        }
        result.bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
    result.status = ReadStatus::Ok;
    return result;
}

void replaceFileAtomically(const std::string& fileName, std::string_view content)
{
    const std::string target = resolveTarget(fileName);

    struct stat info
    {};
    bool exists = false;
    if (::stat(target.c_str(), &info) == 0) {
        exists = true;
        // rename() would happily replace a read-only file, or a device node when run as root.
        if (!S_ISREG(info.st_mode) || ::access(target.c_str(), W_OK) != 0)
            refuse(fileName);
    } else if (errno != ENOENT) {
        refuse(fileName);
    }

    std::string tempName;
    FileDescriptor fd(createTemporary(target, tempName));
    if (!fd.valid())
        refuse(fileName);

    const bool written = writeAll(fd.get(), content) &&
                         (!exists || ::fchmod(fd.get(), info.st_mode & 07777) == 0) &&
                         ::fsync(fd.get()) == 0;
    const bool closed = fd.close() == 0;
    if (!written || !closed || ::rename(tempName.c_str(), target.c_str()) != 0) {
        ::unlink(tempName.c_str());
        refuse(fileName);
    }
    syncDirectory(directoryOf(target));
}

} // namespace profile
