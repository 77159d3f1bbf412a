#include "inifile/Profile.h"

#include "inifile/ProfileSession.h"

std::string readProfileString(const std::string& fileName, const std::string& section,
                              const std::string& key, const std::string& defaultValue)
{
    return profile::ProfileSession(fileName).readString(section, key, defaultValue);
}

int readProfileInt(const std::string& fileName, const std::string& section, const std::string& key,
                   int defaultValue)
{
    return profile::ProfileSession(fileName).readInt(section, key, defaultValue);
}

void writeProfileString(const std::string& fileName, const std::string& section,
                        const std::string& key, const std::string& value)
{
    profile::ProfileSession session(fileName);
    session.writeString(section, key, value);
    session.commit();
}
