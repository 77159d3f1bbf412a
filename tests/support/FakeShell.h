#pragma once

#include "platform/Shell.h"

#include <QStringList>
#include <QUrl>

/// Records what it was asked to open.
class FakeShell : public Shell
{
public:
    void openFile(const QString& path) override { openedFiles << path; }
    void openUrl(const QUrl& url) override { openedUrls << url.toString(); }
    QStringList openedFiles;
    QStringList openedUrls;
};
