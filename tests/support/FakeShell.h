#pragma once

#include "platform/Shell.h"

#include <QByteArrayList>
#include <QStringList>
#include <QUrl>

/// Records what it was asked to open.
class FakeShell : public Shell
{
public:
    void openFile(const QByteArray& path) override { openedFiles << path; }
    void openUrl(const QUrl& url) override { openedUrls << url.toString(); }
    QByteArrayList openedFiles;
    QStringList openedUrls;
};
