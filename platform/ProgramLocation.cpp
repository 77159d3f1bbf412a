#include "platform/ProgramLocation.h"

#include <QCoreApplication>
#include <QFile>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int StableDescriptor = 100;

} // namespace

ProgramLocation locateProgram(const QByteArray& executableBytes)
{
    const qsizetype slash = executableBytes.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? executableBytes.left(slash) : QByteArray("/");
    const QString decoded = QFile::decodeName(executableBytes);
    if (QFile::encodeName(decoded) == executableBytes)
        return {decoded, folder, true};

    // Qt would turn the name into one that does not exist, and every file of the program would
    // be looked for in the wrong place. An open descriptor reaches the folder by its bytes; it
    // stays open (without being inherited) for as long as the program runs.
    const int opened = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (opened < 0)
        return {decoded, folder, false};
    // Moved to a number no other start-up step takes, so that the paths are the same from run
    // to run (an event's default sound is stored by this path).
    const int fd = ::fcntl(opened, F_DUPFD_CLOEXEC, StableDescriptor);
    ::close(opened);
    if (fd < 0)
        return {decoded, folder, false};
    const QString name = QFile::decodeName(executableBytes.mid(slash + 1));
    return {QStringLiteral("/proc/self/fd/%1/%2").arg(fd).arg(name), folder, false};
}

ProgramLocation locateProgram()
{
    QByteArray target(PATH_MAX, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", target.data(), target.size());
    if (length <= 0 || length >= target.size()) {
        const QString path = QCoreApplication::applicationFilePath();
        return {path, QFile::encodeName(path.left(path.lastIndexOf(u'/'))), true};
    }
    target.truncate(length);
    // Replaced while running (a new install): the folder is still the right one.
    const QByteArray deleted(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return locateProgram(target);
}
