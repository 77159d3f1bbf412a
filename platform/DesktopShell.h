#pragma once

#include "platform/Shell.h"

#include <QByteArray>
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
    QUrl url;                    // OpenUrl: a document's file URL or the URL given
    QByteArray program;          // StartProgram: absolute path of the program
    QByteArray workingDirectory; // StartProgram: the program's folder
};

/// Opens files through the desktop: documents and URLs in their default application,
/// programs started detached in their own folder. Names are taken as the file system spells
/// them, so a file named in another encoding than UTF-8 opens all the same.
class DesktopShell : public Shell
{
public:
    void openFile(const QByteArray& path) override;
    void openUrl(const QUrl& url) override;

    /// Decides how path is opened, without opening it.
    [[nodiscard]] static ShellLaunch plan(const QByteArray& path);
};
