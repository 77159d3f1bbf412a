#pragma once

#include <cstddef>
#include <cstdint>
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

struct Line
{
    std::string text;
    LineEnd end = LineEnd::None;
};

/// Calls onLine(text, end) for every line of content; LF, CRLF and a lone CR end a line.
template <typename OnLine> void forEachLine(std::string_view content, OnLine&& onLine)
{
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t stop = content.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
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

/// An initialisation file held in memory, line by line, so that a write changes only the lines
/// it must and everything else is written back byte for byte. Lookups are indexed on the first
/// section of each name and, within it, the first line of each key (both lower-cased).
class ProfileDocument
{
public:
    ProfileDocument() = default;
    explicit ProfileDocument(std::string_view content);

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
        std::unordered_map<std::string, std::size_t> keys; // lower-cased key -> body index
        std::size_t insertAt = 0; // body index just after the last key line
        bool erased = false;
    };

    void addLine(std::string_view text, LineEnd end);
    Section* firstSection(const std::string& lowerName);
    const Section* firstSection(const std::string& lowerName) const;
    void endLastLine();
    [[nodiscard]] LineEnd lineEnd() const;

    std::string m_bom;
    std::vector<Line> m_prologue;    // lines before the first header
    std::vector<Section> m_sections; // file order, erased ones kept as tombstones
    std::size_t m_firstLive = 0;     // first section not erased
    // Lower-cased name -> indexes of the live sections of that name; the first one counts.
    std::unordered_map<std::string, std::vector<std::size_t>> m_sectionIndex;
};

} // namespace profile
