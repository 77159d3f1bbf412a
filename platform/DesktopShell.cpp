#include "platform/DesktopShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

// Files on FAT and NTFS mounts all carry the execute bit; only real programs (ELF binaries
// and scripts with "#!") are started, anything else opens as a document.
bool looksLikeProgram(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    return head.startsWith("\x7f"
                           "ELF") ||
           head.startsWith("#!");
}

bool hasUrlScheme(const QString& text)
{
    // Two letters at least, so that "C:/x" stays a file name.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(text).hasMatch();
}

} // namespace

ShellLaunch DesktopShell::plan(const QString& path)
{
    ShellLaunch launch;
    if (path.trimmed().isEmpty())
        return launch;
    const QFileInfo info(path);
    if (!info.exists() && hasUrlScheme(path)) {
        const QUrl url(path, QUrl::StrictMode);
        if (url.isValid()) {
            launch.kind = ShellLaunch::Kind::OpenUrl;
            launch.url = url;
        }
        return launch;
    }
    if (info.isFile() && info.isExecutable() && looksLikeProgram(path)) {
        launch.kind = ShellLaunch::Kind::StartProgram;
        launch.program = info.absoluteFilePath();
        launch.workingDirectory = info.absolutePath();
        return launch;
    }
    // Missing files go to the desktop too, which reports them its own way.
    launch.kind = ShellLaunch::Kind::OpenUrl;
    launch.url = QUrl::fromLocalFile(info.absoluteFilePath());
    return launch;
}

void DesktopShell::openFile(const QString& path)
{
    const ShellLaunch launch = plan(path);
    switch (launch.kind) {
    case ShellLaunch::Kind::Nothing:
        break;
    case ShellLaunch::Kind::OpenUrl:
        QDesktopServices::openUrl(launch.url);
        break;
    case ShellLaunch::Kind::StartProgram:
        QProcess::startDetached(launch.program, {}, launch.workingDirectory);
        break;
    }
}

void DesktopShell::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}
