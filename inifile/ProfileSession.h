#pragma once

#include "inifile/ProfileDocument.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

/// One initialisation file read once: many indexed reads, many staged writes, one atomic commit.
/// Any sequence of writes gives the same file, byte for byte, as the same sequence of single
/// writeProfileString() calls. Names are taken on one line and without surrounding blanks.
class ProfileSession
{
public:
    /// Reads the file; a missing or unreadable file reads as empty.
    explicit ProfileSession(std::string fileName);

    /// The value (unquoted, at most 2047 bytes) or def when the section or key is missing.
    [[nodiscard]] std::string readString(std::string_view section, std::string_view key,
                                         std::string_view def) const;
    /// The same without a copy: a view of the value that lives until the next write, or nothing
    /// when the section or key is missing.
    [[nodiscard]] std::optional<std::string_view> readView(std::string_view section,
                                                           std::string_view key) const;
    /// The value as a 32-bit integer, or def when missing or not an integer.
    [[nodiscard]] int readInt(std::string_view section, std::string_view key, int def) const;

    /// One section, for reading many of its keys without looking it up by name each time.
    /// Reads through it change nothing, so several threads may read at once. Valid until the
    /// next write.
    class SectionReader
    {
    public:
        /// The name as the header spells it.
        [[nodiscard]] std::string_view name() const;
        /// As ProfileSession::readView() and readInt() read the key in this section.
        [[nodiscard]] std::optional<std::string_view> readView(std::string_view key) const;
        [[nodiscard]] int readInt(std::string_view key, int def) const;

    private:
        friend class ProfileSession;
        SectionReader(const profile::ProfileDocument& document, std::size_t section)
            : m_document(&document), m_section(section)
        {}

        const profile::ProfileDocument* m_document;
        std::size_t m_section;
    };
    /// The sections that reads see (the first of each name), in file order.
    [[nodiscard]] std::vector<SectionReader> sections() const;

    /// Stages a write. Line breaks in the value become blanks. Throws AppError for a key name
    /// that could never be read back (holding "=", or starting with "[" or ";").
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    /// Stages removal of the first section of that name, its header and its lines.
    void eraseSection(std::string_view section);

    /// Why the file was not found (a system error text), or nothing when it was.
    [[nodiscard]] std::optional<std::string> missingError() const;
    /// Why the file exists but could not be read (a system error text), or nothing.
    [[nodiscard]] std::optional<std::string> readError() const;

    /// Writes the staged changes in one atomic replacement, if there are any.
    /// Throws AppError("Unable to write to <file>: <reason>"); the file is then left as it was.
    void commit();

private:
    [[noreturn]] void refuse() const;

    std::string m_fileName;
    ProfileDocument m_document;
    bool m_unreadable = false; // exists but could not be read: never overwrite it
    bool m_missing = false;
    int m_readError = 0;
    bool m_changed = false;
};

} // namespace profile
