#include "platform/DesktopShell.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Kind = ShellLaunch::Kind;

TEST(DesktopShellTest, PlanTellsDocumentsProgramsAndUrlsApart)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto make = [&](const QString& name, const QByteArray& content, bool executable) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        if (executable)
            file.setPermissions(file.permissions() | QFile::ExeOwner);
        return file.fileName();
    };
    const QString script = make("run me.sh", "#!/bin/sh\n", true);
    const QString binary = make("tool",
                                QByteArray("\x7f"
                                           "ELF\x02\x01",
                                           6),
                                true);
    const QString document = make("notes.txt", "remember", false);
    const QString flagged = make("song.mp3", "ID3", true); // every file on a FAT mount
    const QString missing = dir.filePath("gone.pdf");

    const struct
    {
        QString path;
        Kind kind;
        QString target; // URL or program
    } cases[] = {
        {"", Kind::Nothing, ""},
        {"https://example.org/a?b=c", Kind::OpenUrl, "https://example.org/a?b=c"},
        {"mailto:someone@example.org", Kind::OpenUrl, "mailto:someone@example.org"},
        {script, Kind::StartProgram, script},
        {binary, Kind::StartProgram, binary},
        {document, Kind::OpenUrl, QUrl::fromLocalFile(document).toString()},
        {flagged, Kind::OpenUrl, QUrl::fromLocalFile(flagged).toString()},
        {missing, Kind::OpenUrl, QUrl::fromLocalFile(missing).toString()},
        {dir.path(), Kind::OpenUrl, QUrl::fromLocalFile(dir.path()).toString()},
    };
    for (const auto& c : cases) {
        const ShellLaunch launch = DesktopShell::plan(c.path);
        EXPECT_EQ(launch.kind, c.kind) << qPrintable(c.path);
        if (c.kind == Kind::StartProgram) {
            EXPECT_EQ(launch.program, c.target);
            EXPECT_EQ(launch.workingDirectory, dir.path());
        } else if (c.kind == Kind::OpenUrl) {
            EXPECT_EQ(launch.url.toString(), c.target);
        }
    }
}

} // namespace
