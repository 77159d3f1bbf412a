#include "inifile/ProfileSession.h"

#include "base/AppError.h"
#include "inifile/ProfileFile.h"
#include "inifile/ProfileText.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace profile {

namespace {

/// A text on one line: a view of the original when it has no line break (nearly always), so
/// the many reads and writes of a load or save copy nothing.
class SingleLine
{
public:
    explicit SingleLine(std::string_view text)
    {
        if (hasLineBreak(text)) {
            m_copy = singleLine(text);
            m_view = m_copy;
        } else {
            m_view = text;
        }
    }
    SingleLine(const SingleLine&) = delete;
    SingleLine& operator=(const SingleLine&) = delete;

    [[nodiscard]] std::string_view view() const { return m_view; }
    /// As a name is looked up and written: also without surrounding blanks.
    [[nodiscard]] std::string_view name() const { return trimBlanks(m_view); }

private:
    std::string m_copy;
    std::string_view m_view;
};

} // namespace

ProfileSession::ProfileSession(std::string fileName) : m_fileName(std::move(fileName))
{
    FileContent file = readWholeFile(m_fileName);
    m_unreadable = file.status == ReadStatus::Unreadable;
    m_missing = file.status == ReadStatus::Missing;
    m_readError = file.error;
    if (file.status == ReadStatus::Ok)
        m_document = ProfileDocument(std::move(file.bytes));
}

std::string ProfileSession::readString(std::string_view section, std::string_view key,
                                       std::string_view def) const
{
    return std::string(readView(section, key).value_or(cutValue(def)));
}

std::optional<std::string_view> ProfileSession::readView(std::string_view section,
                                                         std::string_view key) const
{
    const auto value = m_document.find(SingleLine(section).name(), SingleLine(key).name());
    if (!value)
        return std::nullopt;
    return cutValue(*value);
}

int ProfileSession::readInt(std::string_view section, std::string_view key, int def) const
{
    const auto value = m_document.find(SingleLine(section).name(), SingleLine(key).name());
    if (!value)
        return def;
    return parseInt(cutValue(*value)).value_or(def);
}

std::vector<ProfileSession::SectionReader> ProfileSession::sections() const
{
    std::vector<SectionReader> readers;
    for (const std::size_t section : m_document.sections())
        readers.push_back(SectionReader(m_document, section));
    return readers;
}

std::string_view ProfileSession::SectionReader::name() const
{
    return m_document->sectionName(m_section);
}

std::optional<std::string_view> ProfileSession::SectionReader::readView(std::string_view key) const
{
    const auto value = m_document->findIn(m_section, SingleLine(key).name());
    if (!value)
        return std::nullopt;
    return cutValue(*value);
}

int ProfileSession::SectionReader::readInt(std::string_view key, int def) const
{
    const auto value = readView(key);
    return value ? parseInt(*value).value_or(def) : def;
}

void ProfileSession::writeString(std::string_view section, std::string_view key,
                                 std::string_view value)
{
    const SingleLine cleanKey(key);
    if (isUnwritableKey(cleanKey.name()))
        refuse();
    if (m_document.set(SingleLine(section).name(), cleanKey.name(), SingleLine(value).view()))
        m_changed = true;
}

void ProfileSession::eraseSection(std::string_view section)
{
    if (m_document.eraseSection(SingleLine(section).name()))
        m_changed = true;
}

std::optional<std::string> ProfileSession::missingError() const
{
    if (!m_missing)
        return std::nullopt;
    return std::string(std::strerror(m_readError));
}

std::optional<std::string> ProfileSession::readError() const
{
    if (!m_unreadable)
        return std::nullopt;
    if (m_readError == EINVAL)
        return std::string("not a regular file");
    return std::string(std::strerror(m_readError));
}

void ProfileSession::commit()
{
    if (!m_changed)
        return;
    // What could not be read must not be replaced by what little we know of it.
    if (m_unreadable)
        throw AppError("Unable to write to " + m_fileName + ": " + *readError());
    replaceFileAtomically(m_fileName, [this](ContentSink& sink) { m_document.writeTo(sink); });
    m_changed = false;
}

void ProfileSession::refuse() const
{
    throw AppError("Unable to write to " + m_fileName);
}

} // namespace profile
