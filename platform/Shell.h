#pragma once

#include <QString>

class QUrl;

/// Opens files and addresses the way the desktop would. The outcome is not reported.
class Shell
{
public:
    virtual ~Shell() = default;
    /// Opens a document in its default application, or starts an executable file.
    virtual void openFile(const QString& path) = 0;
    /// Opens a web or mail address in the desktop's default application; never starts a program.
    virtual void openUrl(const QUrl& url) = 0;
};
