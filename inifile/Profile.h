#pragma once

#include <string>

// Single calls on an initialisation file: each opens the file, reads or writes, and closes it.
// For many keys of one file use ProfileSession, which reads the file once.
//
// Rules: sections and keys match regardless of ASCII case; blanks around names and values are
// ignored; one pair of enclosing quotes is removed from a value; only the first section of a
// name and the first line of a key in it count. A line is classified after dropping its leading
// blanks, so an indented "[Name]" is a header and an indented ";" a comment.
//
// Writing replaces a key's line in place as "Key=value" (the file's spelling of the key), adds a
// new key after the last key line of its section and a new section at the end, and leaves every
// other byte alone. Line breaks in a value become blanks, and a value that would otherwise lose
// its outer blanks or quotes is written in double quotes, so it reads back as written.

/// The value, at most 2047 bytes (cut at a character boundary), or defaultValue when the file,
/// section or key is missing.
[[nodiscard]] std::string readProfileString(const std::string& fileName, const std::string& section,
                                            const std::string& key,
                                            const std::string& defaultValue);

/// The value as a 32-bit integer, else defaultValue: an optional sign, then decimal digits or
/// "0x"/"0X" and hex digits ("-0x10" is -16). Values outside int32 do not wrap: they give the
/// default, so "0xFFFFFFFF" is not -1.
[[nodiscard]] int readProfileInt(const std::string& fileName, const std::string& section,
                                 const std::string& key, int defaultValue);

/// Writes one value atomically, creating the file if needed (the directory must exist).
/// Throws AppError("Unable to write to " + fileName) when the system refuses.
void writeProfileString(const std::string& fileName, const std::string& section,
                        const std::string& key, const std::string& value);
