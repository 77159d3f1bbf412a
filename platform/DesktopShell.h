#pragma once

#include "platform/Shell.h"

#include <QString>
#include <QUrl>

/// What opening a path amounts to.
struct ShellLaunch
{
    enum class Kind
    {
        Nothing,
        OpenUrl,
        StartProgram
    };
    Kind kind = Kind::Nothing;
    QUrl url;                 // OpenUrl: a document's file URL or the URL given
    QString program;          // StartProgram: absolute path of the program
    QString workingDirectory; // StartProgram: the program's folder
};

/// Opens files through the desktop: documents and URLs in their default application,
/// programs started detached in their own folder.
class DesktopShell : public Shell
{
public:
    void openFile(const QString& path) override;
    void openUrl(const QUrl& url) override;

    /// Decides how path is opened, without opening it.
    [[nodiscard]] static ShellLaunch plan(const QString& path);
};
