#include "platform/DesktopShell.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Kind = ShellLaunch::Kind;

// Only an executable script or binary is started, in its own folder; everything else opens
// through its URL, a local path as a file URL.
TEST(DesktopShellTest, PlanTellsDocumentsProgramsAndUrlsApart)
{
    QTemporaryDir dir;
    const auto make = [&](const QString& name, const QByteArray& content, bool executable) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        if (executable)
            file.setPermissions(file.permissions() | QFile::ExeOwner);
        return file.fileName();
    };
    const std::pair<QString, Kind> cases[] = {
        {"", Kind::Nothing},
        {"https://example.org/a?b=c", Kind::OpenUrl},
        {"mailto:someone@example.org", Kind::OpenUrl},
        {make("run me.sh", "#!/bin/sh\n", true), Kind::StartProgram},
        {make("tool", QByteArray::fromHex("7f454c460201"), true), Kind::StartProgram},
        {make("notes.txt", "remember", false), Kind::OpenUrl},
        {make("song.mp3", "ID3", true), Kind::OpenUrl}, // every file on a FAT mount
        {dir.filePath("gone.pdf"), Kind::OpenUrl},
        {dir.path(), Kind::OpenUrl},
    };
    for (const auto& [path, kind] : cases) {
        const ShellLaunch launch = DesktopShell::plan(path);
        EXPECT_EQ(launch.kind, kind) << qPrintable(path);
        if (kind == Kind::StartProgram) {
            EXPECT_EQ(launch.program, path);
            EXPECT_EQ(launch.workingDirectory, dir.path());
        } else if (kind == Kind::OpenUrl) {
            EXPECT_EQ(launch.url, path.startsWith('/') ? QUrl::fromLocalFile(path) : QUrl(path));
        }
    }
}

} // namespace
