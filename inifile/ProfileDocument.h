#pragma once

#include "inifile/NameIndex.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace profile {

class ContentSink;

enum class LineEnd : std::uint8_t
{
    None, // last line of a file that does not end with a line break
    Lf,
    CrLf,
    Cr,
};

/// One line of the file. The text views the document's copy of the file, or a replacement the
/// document owns: a file read once and mostly left as it was costs no copy per line. A key line
/// also keeps where its key's name lies, so that a lookup compares names without parsing lines
/// again. Sixteen bytes, as a big file has a million of them.
struct Line
{
    Line() = default;
    /// A line that holds no key.
    Line(std::string_view text, LineEnd lineEnd);
    /// A key line; name views the key's name within text.
    Line(std::string_view text, LineEnd lineEnd, std::string_view name);

    [[nodiscard]] std::string_view text() const { return {data, size}; }
    [[nodiscard]] bool isKey() const { return nameStart != Far || nameSize != 0; }
    /// The key's name as the line spells it; empty for a line that holds no key.
    [[nodiscard]] std::string_view keyName() const;

    const char* data = nullptr;
    std::uint32_t size = 0; // no file is read past 4 GiB
    LineEnd end = LineEnd::None;
    // Where the key's name lies in the text. Far with size 0: no key; Far with size Far: a name
    // too far in or too long for these fields, found by parsing the line again.
    static constexpr std::uint8_t Far = 0xFF;
    static constexpr std::uint16_t FarSize = 0xFFFF;
    std::uint8_t nameStart = Far;
    std::uint16_t nameSize = 0;
};

/// Calls onLine(text, end) for every line of content; LF, CRLF and a lone CR end a line.
template <typename OnLine> void forEachLine(std::string_view content, OnLine&& onLine)
{
    // memchr scans many bytes at a time. The next CR is searched for again only once the lines
    // have passed it, so a file without any costs a single search for them.
    const char* const data = content.data();
    const std::size_t size = content.size();
    std::size_t nextCr = 0;
    bool crFound = false;
    std::size_t start = 0;
    while (start < size) {
        if (!crFound || nextCr < start) {
            const void* cr = std::memchr(data + start, '\r', size - start);
            nextCr = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : size;
            crFound = true;
        }
        const void* lf = std::memchr(data + start, '\n', nextCr - start);
        const std::size_t stop =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : nextCr;
        if (stop == size) {
            onLine(content.substr(start), LineEnd::None);
            return;
        }
        LineEnd end = LineEnd::Lf;
        std::size_t next = stop + 1;
        if (data[stop] == '\r') {
            end = LineEnd::Cr;
            if (next < size && data[next] == '\n') {
                end = LineEnd::CrLf;
                ++next;
            }
        }
        onLine(content.substr(start, stop - start), end);
        start = next;
    }
}

/// Strips a UTF-8 byte-order mark; the mark itself is returned in bom.
[[nodiscard]] std::string_view splitBom(std::string_view content, std::string_view& bom);

/// An initialisation file held in memory, line by line, so that a write changes only the lines
/// it must and everything else is written back byte for byte. Lookups are indexed on the first
/// section of each name and, within it, the first line of each key (both regardless of case).
class ProfileDocument
{
public:
    ProfileDocument();
    explicit ProfileDocument(std::string input);
    // Lines view storage the document owns: moving keeps it in place, a copy would not.
    ProfileDocument(const ProfileDocument&) = delete;
    ProfileDocument& operator=(const ProfileDocument&) = delete;
    ProfileDocument(ProfileDocument&&) noexcept = default;
    ProfileDocument& operator=(ProfileDocument&& other) noexcept;
    ~ProfileDocument();

    /// The stored value (unquoted, not yet cut) of a cleaned section and key name, or nothing
    /// when either is missing. The view lives until the next change.
    [[nodiscard]] std::optional<std::string_view> find(std::string_view section,
                                                       std::string_view key) const;

    /// The sections reads see (the first of each name), in file order, for reading many of their
    /// keys with findIn(). Changes nothing, so threads may go through them at once.
    [[nodiscard]] std::vector<std::size_t> sections() const;
    /// The name of a section sections() gave, as its header spells it.
    [[nodiscard]] std::string_view sectionName(std::size_t section) const;
    /// The stored value of a cleaned key name in a section sections() gave, as find() reads it.
    [[nodiscard]] std::optional<std::string_view> findIn(std::size_t section,
                                                         std::string_view key) const;

    /// Sets a key to an already cleaned name and sanitised value. Returns false when the
    /// stored value already reads as that value, so nothing changed.
    bool set(std::string_view section, std::string_view key, std::string_view value);

    /// Removes the first section of that name. Returns false when there was none.
    bool eraseSection(std::string_view section);

    /// Hands the file's bytes to the sink, in order.
    void writeTo(ContentSink& sink) const;

private:
    struct Section
    {
        explicit Section(std::pmr::memory_resource* arena) : body(arena) {}

        std::string_view name; // as the header spells it
        Line header;
        std::pmr::vector<Line> body;
        // Key name -> body index of its first line, for a section of many keys; a handful are
        // found quicker by going through the lines.
        std::unique_ptr<NameIndex> keys;
        std::uint32_t insertAt = 0; // body index just after the last key line
        bool erased = false;
        bool shadowed = false; // a later section of a name, unseen while an earlier one lives
    };
    static constexpr std::size_t ManyKeys = 16;

    void read(std::string_view content);
    /// The parts joined, in the document's own storage.
    std::string_view own(std::initializer_list<std::string_view> parts);
    /// "key=value" in the document's own storage, the value quoted where it must be.
    std::string_view ownKeyLine(std::string_view key, std::string_view value);
    /// The index of the section that counts for a name, or NameIndex::npos.
    [[nodiscard]] std::size_t firstSection(std::string_view name) const;
    /// The body index of a key's first line in a section, or NameIndex::npos.
    [[nodiscard]] static std::size_t findKey(const Section& section, std::string_view key);
    /// Indexes the keys of a section that has come to hold many.
    static void indexKeys(Section& section);
    void endLastLine();
    [[nodiscard]] LineEnd lineEnd() const;

    std::unique_ptr<const std::string> m_source; // the file as read; lines view into it
    // Section bodies and the texts of lines written since the file was read,
    // in large blocks that never move and go all at once: a big file's million lines cost a
    // handful of allocations. Nothing in it is freed before the document goes.
    std::unique_ptr<std::pmr::monotonic_buffer_resource> m_arena;
    std::string m_bom;
    std::vector<Line> m_prologue;    // lines before the first header
    std::vector<Section> m_sections; // file order, erased ones kept as tombstones
    std::size_t m_firstLive = 0;     // first section not erased
    NameIndex m_sectionIndex;        // name -> the live section of that name that counts
    // Later live sections of a name that occurs more than once, in file order, by the index of
    // the first: an erase of the first uncovers the next. Rare, so a plain map.
    std::unordered_map<std::size_t, std::vector<std::size_t>> m_duplicates;
    // The section the last lookup found, where the next lookup looks first (see firstSection).
    // Forgotten when a section is erased.
    mutable std::size_t m_lastSection = NameIndex::npos;
};

} // namespace profile
