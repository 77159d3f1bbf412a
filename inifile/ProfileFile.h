#pragma once

#include "base/FileDescriptor.h"

#include <functional>
#include <string>
#include <string_view>

// Whole-file access for initialisation files: plain POSIX, no toolkit.
namespace profile {

enum class ReadStatus
{
    Ok,
    Missing,    // no such file (or no such directory): reads as an empty file
    Unreadable, // exists but cannot be read: reads as empty, must not be overwritten
};

struct FileContent
{
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    int error = 0; // the errno of an unreadable file
};

/// Reads a regular file whole. Never blocks on a FIFO or device: those count as unreadable.
[[nodiscard]] FileContent readWholeFile(const std::string& fileName);

/// Takes a file's content piece by piece.
class ContentSink
{
public:
    virtual void append(std::string_view piece) = 0;

protected:
    ~ContentSink() = default;
};

/// Replaces fileName by content atomically: a temporary file in the same directory, fsync,
/// rename. An existing target keeps its permission bits, and its owner and group when run as
/// root; a new file gets 0644 less the umask. A symbolic link keeps pointing at its target.
/// Throws AppError("Unable to write to " + fileName + ": " + the system's reason) and leaves the
/// target as it was when the system refuses any step, or when the target is a read-only file
/// (even for root).
void replaceFileAtomically(const std::string& fileName, std::string_view content);

/// The same with the content handed by produce to the sink, in pieces: a big file is written
/// without a whole second copy of it in memory.
void replaceFileAtomically(const std::string& fileName,
                           const std::function<void(ContentSink&)>& produce);

struct TemporaryFile
{
    FileDescriptor fd; // invalid when the system refused
    std::string name;
    int error = 0; // the errno of the refusal
};

/// Creates the file that a replacement of target is written to: new, empty, open for writing,
/// and only its owner may open it (0600, less the umask). Named ".<name>.<random>.tmp" in
/// target's directory: <name> is target's file name cut to 100 bytes (not inside a UTF-8
/// character), <random> 16 lowercase hex digits.
[[nodiscard]] TemporaryFile createTemporaryFile(const std::string& target);

/// Deletes what killed writes of fileName left behind: the regular files in its directory (the
/// directory of a symbolic link's target) named as createTemporaryFile() names them. Links,
/// directories and any other name are left alone. Meant for start-up while the single-instance
/// lock is held: no write is then under way, so every such file is stale. Best effort: errors are
/// ignored, as a leftover only costs disk space.
void removeStaleTemporaries(const std::string& fileName);

} // namespace profile
