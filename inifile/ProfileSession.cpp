#include "inifile/ProfileSession.h"

#include "inifile/ProfileFile.h"
#include "inifile/ProfileText.h"
#include "platform/AppError.h"

#include <cerrno>
#include <cstring>
#include <utility>

using namespace profile;

ProfileSession::ProfileSession(std::string fileName) : m_fileName(std::move(fileName))
{
    FileContent file = readWholeFile(m_fileName);
    m_unreadable = file.status == ReadStatus::Unreadable;
    m_readError = file.error;
    if (file.status == ReadStatus::Ok)
        m_document = ProfileDocument(std::move(file.bytes));
}

std::string ProfileSession::readString(const std::string& section, const std::string& key,
                                       const std::string& def) const
{
    return std::string(readView(section, key).value_or(cutValue(def)));
}

std::optional<std::string_view> ProfileSession::readView(const std::string& section,
                                                         const std::string& key) const
{
    const auto value = m_document.find(cleanName(section), cleanName(key));
    if (!value)
        return std::nullopt;
    return cutValue(*value);
}

int ProfileSession::readInt(const std::string& section, const std::string& key, int def) const
{
    const auto value = m_document.find(cleanName(section), cleanName(key));
    if (!value)
        return def;
    return parseInt(cutValue(*value)).value_or(def);
}

void ProfileSession::writeString(const std::string& section, const std::string& key,
                                 const std::string& value)
{
    const std::string cleanKey = cleanName(key);
    if (isUnwritableKey(cleanKey))
        refuse();
    if (m_document.set(cleanName(section), cleanKey, singleLine(value)))
        m_changed = true;
}

void ProfileSession::eraseSection(const std::string& section)
{
    if (m_document.eraseSection(cleanName(section)))
        m_changed = true;
}

std::optional<std::string> ProfileSession::readError() const
{
    if (!m_unreadable)
        return std::nullopt;
    if (m_readError == EINVAL)
        return std::string("not a regular file");
    return std::string(std::strerror(m_readError));
}

std::vector<std::string> ProfileSession::sectionNames() const
{
    return m_document.sectionNames();
}

void ProfileSession::commit()
{
    if (!m_changed)
        return;
    // What could not be read must not be replaced by what little we know of it.
    if (m_unreadable)
        refuse();
    replaceFileAtomically(m_fileName, m_document.serialize());
    m_changed = false;
}

void ProfileSession::refuse() const
{
    throw AppError("Unable to write to " + m_fileName);
}
