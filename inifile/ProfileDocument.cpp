#include "inifile/ProfileDocument.h"

#include "base/HugePages.h"
#include "inifile/ProfileFile.h"
#include "inifile/ProfileText.h"

#include <algorithm>
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

Line::Line(std::string_view text, LineEnd lineEnd)
    : data(text.data()), size(static_cast<std::uint32_t>(text.size())), end(lineEnd)
{}

Line::Line(std::string_view text, LineEnd lineEnd, std::string_view name) : Line(text, lineEnd)
{
    const auto start = static_cast<std::size_t>(name.data() - text.data());
    if (start < Far && name.size() < FarSize) {
        nameStart = static_cast<std::uint8_t>(start);
        nameSize = static_cast<std::uint16_t>(name.size());
    } else {
        nameSize = FarSize;
    }
}

std::string_view Line::keyName() const
{
    if (!isKey())
        return {};
    if (nameStart == Far)
        return parseLine(text()).name;
    return text().substr(nameStart, nameSize);
}

ProfileDocument::ProfileDocument()
    : m_arena(std::make_unique<std::pmr::monotonic_buffer_resource>())
{}

ProfileDocument::ProfileDocument(std::string input)
    : m_source(std::make_unique<const std::string>(std::move(input))),
      // Sixteen bytes a line take about half as many bytes as the file: one block, mostly.
      m_arena(std::make_unique<std::pmr::monotonic_buffer_resource>(
          std::max<std::size_t>(m_source->size() / 2, 4096), memory::hugePageResource()))
{
    std::string_view bom;
    const std::string_view content = splitBom(*m_source, bom);
    m_bom = bom;
    read(content);
}

// The sections hold vectors allocated from the arena, declared before them: they go first.
ProfileDocument::~ProfileDocument() = default;

// Member by member, the arena would go while the old sections still use it: the old content is
// swapped out whole instead and leaves with other.
ProfileDocument& ProfileDocument::operator=(ProfileDocument&& other) noexcept
{
    std::swap(m_source, other.m_source);
    std::swap(m_arena, other.m_arena);
    std::swap(m_bom, other.m_bom);
    std::swap(m_prologue, other.m_prologue);
    std::swap(m_sections, other.m_sections);
    std::swap(m_firstLive, other.m_firstLive);
    std::swap(m_sectionIndex, other.m_sectionIndex);
    std::swap(m_duplicates, other.m_duplicates);
    std::swap(m_lastSection, other.m_lastSection);
    return *this;
}

void ProfileDocument::read(std::string_view content)
{
    // Room for the sections at once rather than grown step by step; nearly every header starts
    // a line, and none but headers and a few strays start with "[".
    std::size_t headers = content.starts_with('[') ? 1 : 0;
    for (std::size_t at = content.find("\n["); at != std::string_view::npos;
         at = content.find("\n[", at + 2))
        ++headers;
    m_sections.reserve(headers);
    memory::adviseHugePages(m_sections.data(), headers * sizeof(Section));
    m_sectionIndex.reserve(headers);

    // The lines of the section being read gather here and are copied once it ends: exactly
    // the room they need in the arena, instead of a vector grown line by line.
    std::vector<Line> lines;
    std::size_t keyLines = 0;
    const auto endSection = [&] {
        if (m_sections.empty())
            return;
        Section& section = m_sections.back();
        section.body.assign(lines.begin(), lines.end());
        if (keyLines > ManyKeys)
            indexKeys(section);
        lines.clear();
        keyLines = 0;
    };

    forEachLine(content, [&](std::string_view text, LineEnd end) {
        const ParsedLine parsed = parseLine(text);
        if (parsed.kind == LineKind::Section) {
            endSection();
            const std::size_t index = m_sections.size();
            const bool first = m_sectionIndex.add(parsed.name, index);
            if (!first)
                m_duplicates[m_sectionIndex.find(parsed.name)].push_back(index);
            Section& section = m_sections.emplace_back(m_arena.get());
            section.name = parsed.name;
            section.shadowed = !first;
            section.header = {text, end};
            return;
        }
        if (m_sections.empty()) {
            m_prologue.push_back({text, end});
            return;
        }
        if (parsed.kind != LineKind::Key) {
            lines.emplace_back(text, end);
            return;
        }
        lines.emplace_back(text, end, parsed.name);
        ++keyLines;
        m_sections.back().insertAt = static_cast<std::uint32_t>(lines.size());
    });
    endSection();
}

std::string_view ProfileDocument::own(std::initializer_list<std::string_view> parts)
{
    std::size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    if (size == 0)
        return {};
    char* const text = static_cast<char*>(m_arena->allocate(size, 1));
    char* at = text;
    for (const std::string_view part : parts) {
        if (!part.empty())
            std::memcpy(at, part.data(), part.size());
        at += part.size();
    }
    return {text, size};
}

std::string_view ProfileDocument::ownKeyLine(std::string_view key, std::string_view value)
{
    if (needsQuotes(value))
        return own({key, "=\"", value, "\""});
    return own({key, "=", value});
}

std::size_t ProfileDocument::firstSection(std::string_view name) const
{
    // A load or save goes through the sections key by key and in file order: the section of the
    // last lookup, or the one after it, is nearly always the one asked for. A section that is
    // neither erased nor shadowed is the one that counts for its name.
    if (m_lastSection != NameIndex::npos) {
        if (caseBlindEqual(m_sections[m_lastSection].name, name))
            return m_lastSection;
        const std::size_t next = m_lastSection + 1;
        if (next < m_sections.size() && !m_sections[next].erased && !m_sections[next].shadowed &&
            caseBlindEqual(m_sections[next].name, name))
            return m_lastSection = next;
    }
    const std::size_t found = m_sectionIndex.find(name);
    if (found != NameIndex::npos)
        m_lastSection = found;
    return found;
}

std::size_t ProfileDocument::findKey(const Section& section, std::string_view key)
{
    if (section.keys)
        return section.keys->find(key);
    for (std::size_t i = 0; i < section.insertAt; ++i) {
        const Line& line = section.body[i];
        if (line.isKey() && caseBlindEqual(line.keyName(), key))
            return i;
    }
    return NameIndex::npos;
}

void ProfileDocument::indexKeys(Section& section)
{
    section.keys = std::make_unique<NameIndex>();
    for (std::size_t i = 0; i < section.insertAt; ++i)
        if (section.body[i].isKey())
            section.keys->add(section.body[i].keyName(), i); // the first line of a name stays
}

std::optional<std::string_view> ProfileDocument::find(std::string_view section,
                                                      std::string_view key) const
{
    const std::size_t found = firstSection(section);
    if (found == NameIndex::npos)
        return std::nullopt;
    return findIn(found, key);
}

std::vector<std::size_t> ProfileDocument::sections() const
{
    std::vector<std::size_t> live;
    live.reserve(m_sectionIndex.size());
    for (std::size_t i = m_firstLive; i < m_sections.size(); ++i)
        if (!m_sections[i].erased && !m_sections[i].shadowed)
            live.push_back(i);
    return live;
}

std::string_view ProfileDocument::sectionName(std::size_t section) const
{
    return m_sections[section].name;
}

std::optional<std::string_view> ProfileDocument::findIn(std::size_t section,
                                                        std::string_view key) const
{
    const Section& in = m_sections[section];
    const std::size_t index = findKey(in, key);
    if (index == NameIndex::npos)
        return std::nullopt;
    return storedValue(parseLine(in.body[index].text()).value);
}

bool ProfileDocument::set(std::string_view section, std::string_view key, std::string_view value)
{
    const std::size_t index = firstSection(section);
    if (index == NameIndex::npos) {
        endLastLine();
        const std::string_view header = own({"[", section, "]"});
        const std::string_view line = ownKeyLine(key, value);
        Section& added = m_sections.emplace_back(m_arena.get());
        added.name = header.substr(1, section.size());
        m_sectionIndex.add(added.name, m_sections.size() - 1);
        m_lastSection = m_sections.size() - 1;
        added.header = {header, lineEnd()};
        added.body.emplace_back(line, lineEnd(), line.substr(0, key.size()));
        added.insertAt = 1;
        return true;
    }

    Section* found = &m_sections[index];
    if (const std::size_t keyIndex = findKey(*found, key); keyIndex != NameIndex::npos) {
        Line& line = found->body[keyIndex];
        const ParsedLine parsed = parseLine(line.text());
        if (storedValue(parsed.value) == value)
            return false;
        // Keep the file's spelling of the key; the line keeps its own line end. An index of
        // the keys still views the old text, which stays in place and spells the key the same.
        const std::string_view text = ownKeyLine(parsed.name, value);
        line = Line(text, line.end, text.substr(0, parsed.name.size()));
        return true;
    }

    // A new key goes after the last key line, before any trailing comments or blank lines.
    const std::uint32_t at = found->insertAt;
    Line& before = at == 0 ? found->header : found->body[at - 1];
    if (before.end == LineEnd::None)
        before.end = lineEnd();
    const std::string_view line = ownKeyLine(key, value);
    found->body.insert(found->body.begin() + static_cast<std::ptrdiff_t>(at),
                       Line(line, lineEnd(), line.substr(0, key.size())));
    // A lone CR before a blank LF line is read back as one CRLF: the lines become what a fresh
    // read of the written file sees, or a batch would differ from the same writes made singly.
    // Only comments and blank lines follow, so no key index moves.
    if (at + 1 < found->body.size()) {
        const Line& next = found->body[at + 1];
        if (found->body[at].end == LineEnd::Cr && next.size == 0 && next.end == LineEnd::Lf) {
            found->body[at].end = LineEnd::CrLf;
            found->body.erase(found->body.begin() + static_cast<std::ptrdiff_t>(at) + 1);
        }
    }
    found->insertAt = at + 1;
    if (found->keys)
        found->keys->add(line.substr(0, key.size()), at);
    else if (found->insertAt > ManyKeys)
        indexKeys(*found);
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

bool ProfileDocument::eraseSection(std::string_view section)
{
    const std::size_t index = m_sectionIndex.find(section);
    if (index == NameIndex::npos)
        return false;
    m_lastSection = NameIndex::npos;
    Section& erased = m_sections[index];
    erased.erased = true;
    erased.body.clear();
    erased.keys.reset();
    // A later section of the same name now counts.
    const auto later = m_duplicates.find(index);
    if (later != m_duplicates.end()) {
        std::vector<std::size_t> rest = std::move(later->second);
        m_duplicates.erase(later);
        const std::size_t next = rest.front();
        m_sectionIndex.replace(m_sections[next].name, next);
        m_sections[next].shadowed = false;
        rest.erase(rest.begin());
        if (!rest.empty())
            m_duplicates.emplace(next, std::move(rest));
    } else {
        m_sectionIndex.erase(section);
    }
    while (m_firstLive < m_sections.size() && m_sections[m_firstLive].erased)
        ++m_firstLive;
    return true;
}

void ProfileDocument::writeTo(ContentSink& sink) const
{
    const auto write = [&sink](const Line& line) {
        sink.append(line.text());
        sink.append(lineEndText(line.end));
    };
    sink.append(m_bom);
    for (const Line& line : m_prologue)
        write(line);
    for (const Section& section : m_sections) {
        if (section.erased)
            continue;
        write(section.header);
        for (const Line& line : section.body)
            write(line);
    }
}

} // namespace profile
