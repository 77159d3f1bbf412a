#pragma once

#include <QByteArray>

class QUrl;

/// Opens files and addresses the way the desktop would. The outcome is not reported.
class Shell
{
public:
    virtual ~Shell() = default;
    /// Opens the file of that name as the file system spells it (or a URL), whatever its
    /// encoding: a document in its default application, an executable file started.
    virtual void openFile(const QByteArray& path) = 0;
    /// Opens a web or mail address in the desktop's default application; never starts a program.
    virtual void openUrl(const QUrl& url) = 0;
};
