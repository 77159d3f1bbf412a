#pragma once

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
};

/// Reads a regular file whole. Never blocks on a FIFO or device: those count as unreadable.
[[nodiscard]] FileContent readWholeFile(const std::string& fileName);

/// Replaces fileName by content atomically: a temporary file in the same directory, fsync,
/// rename. An existing target keeps its permission bits; a symbolic link keeps pointing at it.
/// Throws AppError("Unable to write to " + fileName) and leaves the target as it was when the
/// system refuses any step.
void replaceFileAtomically(const std::string& fileName, std::string_view content);

} // namespace profile
