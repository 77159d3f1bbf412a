#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace profile {

enum class LineEnd : std::uint8_t
{
    None, // last line of a file that does not end with a line break
    Lf,
    CrLf,
    Cr,
};

/// One line of the file. The text views the document's copy of the file, or a replacement the
/// document owns: a file read once and mostly left as it was costs no copy per line.
struct Line
{
    std::string_view text;
    LineEnd end = LineEnd::None;
};

/// Calls onLine(text, end) for every line of content; LF, CRLF and a lone CR end a line.
template <typename OnLine> void forEachLine(std::string_view content, OnLine&& onLine)
{
    std::size_t start = 0;
    while (start < content.size()) {
        // A plain scan: find_first_of tests each byte against the set one character at a time.
        std::size_t stop = start;
        while (stop < content.size() && content[stop] != '\n' && content[stop] != '\r')
            ++stop;
        if (stop == content.size()) {
            onLine(content.substr(start), LineEnd::None);
            return;
        }
        LineEnd end = LineEnd::Lf;
        std::size_t next = stop + 1;
        if (content[stop] == '\r') {
            end = LineEnd::Cr;
            if (next < content.size() && content[next] == '\n') {
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

/// Lower-cased key name -> body index of its first line. A section holds a handful of keys: a
/// short list searched in order is cheaper than hashing; a long section switches to a hash map.
class KeyIndex
{
public:
    [[nodiscard]] std::optional<std::size_t> find(const std::string& lowerKey) const;
    /// Adds the key unless it is already there: the first line of a key is the one that counts.
    void add(std::string lowerKey, std::size_t index);

private:
    static constexpr std::size_t ListLimit = 16;
    std::vector<std::pair<std::string, std::size_t>> m_list;
    std::unordered_map<std::string, std::size_t> m_map;
};

/// An initialisation file held in memory, line by line, so that a write changes only the lines
/// it must and everything else is written back byte for byte. Lookups are indexed on the first
/// section of each name and, within it, the first line of each key (both lower-cased).
class ProfileDocument
{
public:
    ProfileDocument() = default;
    explicit ProfileDocument(std::string input);
    // Lines view storage the document owns: moving keeps it in place, a copy would not.
    ProfileDocument(const ProfileDocument&) = delete;
    ProfileDocument& operator=(const ProfileDocument&) = delete;
    ProfileDocument(ProfileDocument&&) = default;
    ProfileDocument& operator=(ProfileDocument&&) = default;

    /// The stored value (unquoted, not yet cut) of a cleaned section and key name, or nothing
    /// when either is missing. The view lives until the next change.
    [[nodiscard]] std::optional<std::string_view> find(const std::string& section,
                                                       const std::string& key) const;

    /// Sets a key to an already cleaned name and sanitised value. Returns false when the
    /// stored value already reads as that value, so nothing changed.
    bool set(const std::string& section, const std::string& key, const std::string& value);

    /// Removes the first section of that name. Returns false when there was none.
    bool eraseSection(const std::string& section);

    [[nodiscard]] std::vector<std::string> sectionNames() const;
    [[nodiscard]] std::string serialize() const;

private:
    struct Section
    {
        std::string name;
        Line header;
        std::vector<Line> body;
        KeyIndex keys;
        std::size_t insertAt = 0; // body index just after the last key line
        bool erased = false;
    };

    void addLine(std::string_view text, LineEnd end);
    /// Keeps a new line text alive as long as the document and returns a view of it.
    std::string_view own(std::string text);
    Section* firstSection(const std::string& lowerName);
    const Section* firstSection(const std::string& lowerName) const;
    void endLastLine();
    [[nodiscard]] LineEnd lineEnd() const;

    std::unique_ptr<const std::string> m_source; // the file as read; lines view into it
    std::deque<std::string> m_owned;             // texts of lines written since
    std::string m_bom;
    std::vector<Line> m_prologue;    // lines before the first header
    std::vector<Section> m_sections; // file order, erased ones kept as tombstones
    std::size_t m_firstLive = 0;     // first section not erased
    // Lower-cased name -> indexes of the live sections of that name; the first one counts.
    std::unordered_map<std::string, std::vector<std::size_t>> m_sectionIndex;
};

} // namespace profile
