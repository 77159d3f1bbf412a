#include "inifile/ProfileDocument.h"

#include "inifile/ProfileText.h"

#include <utility>

namespace profile {

namespace {

std::string_view lineEndText(LineEnd end)
{
    switch (end) {
    case LineEnd::Lf:
        return "\n";
    case LineEnd::CrLf:
        return "\r\n";
    case LineEnd::Cr:
        return "\r";
    case LineEnd::None:
        break;
    }
    return {};
}

} // namespace

std::optional<std::size_t> KeyIndex::find(const std::string& lowerKey) const
{
    if (!m_map.empty()) {
        const auto it = m_map.find(lowerKey);
        return it == m_map.end() ? std::nullopt : std::optional(it->second);
    }
    for (const auto& [key, index] : m_list)
        if (key == lowerKey)
            return index;
    return std::nullopt;
}

void KeyIndex::add(std::string lowerKey, std::size_t index)
{
    if (m_map.empty() && m_list.size() < ListLimit) {
        if (!find(lowerKey))
            m_list.emplace_back(std::move(lowerKey), index);
        return;
    }
    if (m_map.empty()) {
        for (auto& [key, at] : m_list)
            m_map.emplace(std::move(key), at);
        m_list.clear();
    }
    m_map.try_emplace(std::move(lowerKey), index);
}

std::string_view splitBom(std::string_view content, std::string_view& bom)
{
    constexpr std::string_view mark = "\xEF\xBB\xBF";
    if (content.substr(0, mark.size()) == mark) {
        bom = content.substr(0, mark.size());
        return content.substr(mark.size());
    }
    bom = {};
    return content;
}

ProfileDocument::ProfileDocument(std::string input)
    : m_source(std::make_unique<const std::string>(std::move(input)))
{
    std::string_view content = *m_source;
    std::string_view bom;
    content = splitBom(content, bom);
    m_bom = bom;
    forEachLine(content, [this](std::string_view text, LineEnd end) { addLine(text, end); });
}

std::string_view ProfileDocument::own(std::string text)
{
    return m_owned.emplace_back(std::move(text));
}

void ProfileDocument::addLine(std::string_view text, LineEnd end)
{
    const ParsedLine parsed = parseLine(text);
    if (parsed.kind == LineKind::Section) {
        m_sectionIndex[toLowerAscii(parsed.name)].push_back(m_sections.size());
        Section& section = m_sections.emplace_back();
        section.name = parsed.name;
        section.header = {text, end};
        return;
    }
    if (m_sections.empty()) {
        m_prologue.push_back({text, end});
        return;
    }
    Section& section = m_sections.back();
    section.body.push_back({text, end});
    if (parsed.kind == LineKind::Key) {
        section.keys.add(toLowerAscii(parsed.name), section.body.size() - 1);
        section.insertAt = section.body.size();
    }
}

const ProfileDocument::Section* ProfileDocument::firstSection(const std::string& lowerName) const
{
    const auto it = m_sectionIndex.find(lowerName);
    if (it == m_sectionIndex.end() || it->second.empty())
        return nullptr;
    return &m_sections[it->second.front()];
}

ProfileDocument::Section* ProfileDocument::firstSection(const std::string& lowerName)
{
    return const_cast<Section*>(std::as_const(*this).firstSection(lowerName));
}

std::optional<std::string_view> ProfileDocument::find(const std::string& section,
                                                      const std::string& key) const
{
    const Section* found = firstSection(toLowerAscii(section));
    if (!found)
        return std::nullopt;
    const auto index = found->keys.find(toLowerAscii(key));
    if (!index)
        return std::nullopt;
    return storedValue(parseLine(found->body[*index].text).value);
}

bool ProfileDocument::set(const std::string& section, const std::string& key,
                          const std::string& value)
{
    const std::string lowerSection = toLowerAscii(section);
    Section* found = firstSection(lowerSection);
    if (!found) {
        endLastLine();
        m_sectionIndex[lowerSection].push_back(m_sections.size());
        Section& added = m_sections.emplace_back();
        added.name = section;
        added.header = {own("[" + section + "]"), lineEnd()};
        added.body.push_back({own(key + "=" + encodeValue(value)), lineEnd()});
        added.keys.add(toLowerAscii(key), 0);
        added.insertAt = 1;
        return true;
    }

    const std::string lowerKey = toLowerAscii(key);
    if (const auto index = found->keys.find(lowerKey)) {
        Line& line = found->body[*index];
        const ParsedLine parsed = parseLine(line.text);
        if (storedValue(parsed.value) == value)
            return false;
        // Keep the file's spelling of the key; the line keeps its own line end.
        line.text = own(std::string(parsed.name) + "=" + encodeValue(value));
        return true;
    }

    // A new key goes after the last key line, before any trailing comments or blank lines.
    const std::size_t at = found->insertAt;
    Line& before = at == 0 ? found->header : found->body[at - 1];
    if (before.end == LineEnd::None)
        before.end = lineEnd();
    found->body.insert(found->body.begin() + static_cast<std::ptrdiff_t>(at),
                       Line{own(key + "=" + encodeValue(value)), lineEnd()});
    // A lone CR before a blank LF line is read back as one CRLF: the lines become what a fresh
    // read of the written file sees, or a batch would differ from the same writes made singly.
    // Only comments and blank lines follow, so no key index moves.
    if (at + 1 < found->body.size()) {
        Line& next = found->body[at + 1];
        if (found->body[at].end == LineEnd::Cr && next.text.empty() && next.end == LineEnd::Lf) {
            found->body[at].end = LineEnd::CrLf;
            found->body.erase(found->body.begin() + static_cast<std::ptrdiff_t>(at) + 1);
        }
    }
    found->keys.add(lowerKey, at);
    found->insertAt = at + 1;
    return true;
}

// New lines take the line end of the file's first line, as a fresh read of the file would see
// it; erasing sections can change which line that is.
LineEnd ProfileDocument::lineEnd() const
{
    const Line* first = nullptr;
    if (!m_prologue.empty())
        first = &m_prologue.front();
    else if (m_firstLive < m_sections.size())
        first = &m_sections[m_firstLive].header;
    return first == nullptr || first->end == LineEnd::None ? LineEnd::Lf : first->end;
}

void ProfileDocument::endLastLine()
{
    // Not std::views::reverse: clang 14, which builds the fuzz target, fails on libstdc++ 12's one.
    // NOLINTNEXTLINE(modernize-loop-convert)
    for (auto it = m_sections.rbegin(); it != m_sections.rend(); ++it) {
        if (it->erased)
            continue;
        Line& last = it->body.empty() ? it->header : it->body.back();
        if (last.end == LineEnd::None)
            last.end = lineEnd();
        return;
    }
    if (!m_prologue.empty() && m_prologue.back().end == LineEnd::None)
        m_prologue.back().end = lineEnd();
}

bool ProfileDocument::eraseSection(const std::string& section)
{
    const auto it = m_sectionIndex.find(toLowerAscii(section));
    if (it == m_sectionIndex.end() || it->second.empty())
        return false;
    Section& erased = m_sections[it->second.front()];
    it->second.erase(it->second.begin());
    erased.erased = true;
    erased.body = {};
    erased.keys = {};
    while (m_firstLive < m_sections.size() && m_sections[m_firstLive].erased)
        ++m_firstLive;
    return true;
}

std::vector<std::string> ProfileDocument::sectionNames() const
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        const Section& section = m_sections[i];
        if (section.erased)
            continue;
        const auto it = m_sectionIndex.find(toLowerAscii(section.name));
        if (it != m_sectionIndex.end() && !it->second.empty() && it->second.front() == i)
            names.push_back(section.name);
    }
    return names;
}

std::string ProfileDocument::serialize() const
{
    std::size_t size = m_bom.size();
    auto measure = [&size](const Line& line) { size += line.text.size() + 2; };
    auto append = [](std::string& out, const Line& line) {
        out += line.text;
        out += lineEndText(line.end);
    };
    for (const Line& line : m_prologue)
        measure(line);
    for (const Section& section : m_sections) {
        measure(section.header);
        for (const Line& line : section.body)
            measure(line);
    }

    std::string out;
    out.reserve(size);
    out += m_bom;
    for (const Line& line : m_prologue)
        append(out, line);
    for (const Section& section : m_sections) {
        if (section.erased)
            continue;
        append(out, section.header);
        for (const Line& line : section.body)
            append(out, line);
    }
    return out;
}

} // namespace profile
