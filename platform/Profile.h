#pragma once

#include <string>

// Single calls on an initialisation file: each opens the file, reads or writes, and closes it.
// For many keys of one file use ProfileSession, which reads the file once.
//
// Rules: sections and keys match regardless of ASCII case; blanks around names and values are
// ignored; one pair of enclosing quotes is removed from a value; only the first section of a
// name and the first line of a key in it count.

/// The value, at most 2047 bytes (cut at a character boundary), or defaultValue when the file,
/// section or key is missing.
[[nodiscard]] std::string readProfileString(const std::string& fileName, const std::string& section,
                                            const std::string& key,
                                            const std::string& defaultValue);

/// The value as a 32-bit integer (decimal or "0x" hex, optional sign), else defaultValue.
[[nodiscard]] int readProfileInt(const std::string& fileName, const std::string& section,
                                 const std::string& key, int defaultValue);

/// Writes one value atomically, creating the file if needed (the directory must exist).
/// Throws AppError("Unable to write to " + fileName) when the system refuses.
void writeProfileString(const std::string& fileName, const std::string& section,
                        const std::string& key, const std::string& value);
