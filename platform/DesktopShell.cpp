#include "platform/DesktopShell.h"

#include "base/FileDescriptor.h"
#include "base/StoredText.h"

#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kChildEndTimeoutMs = 2000;

// Files on FAT and NTFS mounts all carry the execute bit; only real programs (ELF binaries
// and scripts with "#!") are started, anything else opens as a document.
bool looksLikeProgram(const QByteArray& path)
{
    const FileDescriptor file(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    char head[4] = {};
    const ssize_t n = file.valid() ? ::read(file.get(), head, sizeof head) : -1;
    constexpr char elf[] = {'\x7f', 'E', 'L', 'F'};
    return (n == 4 && std::memcmp(head, elf, sizeof elf) == 0) ||
           (n >= 2 && head[0] == '#' && head[1] == '!');
}

bool hasUrlScheme(const QByteArray& text)
{
    // Two letters at least, so that "C:/x" stays a file name.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(QString::fromLatin1(text)).hasMatch();
}

QByteArray absolutePath(const QByteArray& path)
{
    return path.startsWith('/') ? path : QFile::encodeName(QDir::currentPath()) + '/' + path;
}

QUrl fileUrl(const QByteArray& absolute)
{
    if (isUtf8(absolute))
        return QUrl::fromLocalFile(QString::fromUtf8(absolute));
    // QUrl keeps percent-encoded bytes that are not UTF-8 as they are, so the desktop gets the
    // file's own name.
    return QUrl::fromEncoded("file://" + absolute.toPercentEncoding("/"));
}

// QProcess takes names as text, and a name that is not UTF-8 has none that leads back to it: the
// program is started from its bytes here, detached as QProcess does it, through a child that
// ends at once and leaves the program to init.
void startDetached(const QByteArray& program, const QByteArray& workingDirectory)
{
    // Built before the fork: a threaded process may only make async-signal-safe calls after it.
    char* const argv[] = {const_cast<char*>(program.constData()), nullptr};
    const pid_t child = ::fork();
    if (child == 0) {
        if (::fork() == 0) {
            if (::chdir(workingDirectory.constData()) == 0)
                ::execv(program.constData(), argv);
            ::_exit(127);
        }
        ::_exit(0);
    }
    if (child <= 0)
        return;
    // The child ends at once; the wait for it is bounded all the same.
    const QDeadlineTimer deadline(kChildEndTimeoutMs);
    while (::waitpid(child, nullptr, WNOHANG) == 0 && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

ShellLaunch DesktopShell::plan(const QByteArray& path)
{
    ShellLaunch launch;
    if (path.trimmed().isEmpty())
        return launch;
    struct stat info
    {};
    const bool exists = ::stat(path.constData(), &info) == 0;
    if (!exists && hasUrlScheme(path)) {
        // A URL typed in an 8-bit code page reads as that code page.
        const QUrl url(decodeStored(path), QUrl::StrictMode);
        if (url.isValid()) {
            launch.kind = ShellLaunch::Kind::OpenUrl;
            launch.url = url;
        }
        return launch;
    }
    const QByteArray absolute = absolutePath(path);
    if (exists && S_ISREG(info.st_mode) && ::access(path.constData(), X_OK) == 0 &&
        looksLikeProgram(path)) {
        const qsizetype slash = absolute.lastIndexOf('/');
        launch.kind = ShellLaunch::Kind::StartProgram;
        launch.program = absolute;
        launch.workingDirectory = slash > 0 ? absolute.left(slash) : QByteArray("/");
        return launch;
    }
    // Missing files go to the desktop too, which reports them its own way.
    launch.kind = ShellLaunch::Kind::OpenUrl;
    launch.url = fileUrl(absolute);
    return launch;
}

void DesktopShell::openFile(const QByteArray& path)
{
    const ShellLaunch launch = plan(path);
    switch (launch.kind) {
    case ShellLaunch::Kind::Nothing:
        break;
    case ShellLaunch::Kind::OpenUrl:
        QDesktopServices::openUrl(launch.url);
        break;
    case ShellLaunch::Kind::StartProgram:
        startDetached(launch.program, launch.workingDirectory);
        break;
    }
}

void DesktopShell::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}
