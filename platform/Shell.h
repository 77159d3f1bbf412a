#pragma once

#include <QString>

/// Opens a file the way the desktop would: documents in their default application,
/// executable files started. The outcome is not reported.
class Shell
{
public:
    virtual ~Shell() = default;
    virtual void openFile(const QString& path) = 0;
};
