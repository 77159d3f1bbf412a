#pragma once

#include <QByteArray>

/// Opens a file the way the desktop would: documents in their default application,
/// executable files started. The outcome is not reported.
class Shell
{
public:
    virtual ~Shell() = default;
    /// Opens the file of that name as the file system spells it (or a URL), whatever its encoding.
    virtual void openFile(const QByteArray& path) = 0;
};
