#include "platform/DesktopShell.h"

#include "support/ToneWave.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Kind = ShellLaunch::Kind;

// Only an executable script or binary is started, in its own folder; everything else opens
// through its URL, a local path as a file URL. Names are the file system's bytes, whatever
// their encoding.
TEST(DesktopShellTest, PlanTellsDocumentsProgramsAndUrlsApart)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const auto make = [&](const QByteArray& name, const QByteArray& content, bool executable) {
        const QByteArray path = folder + '/' + name;
        EXPECT_TRUE(writeFileBytes(path, content));
        EXPECT_EQ(::chmod(path.constData(), executable ? 0700 : 0600), 0);
        return path;
    };
    const std::pair<QByteArray, Kind> cases[] = {
        {"", Kind::Nothing},
        {"https://example.org/a?b=c", Kind::OpenUrl},
        {"mailto:someone@example.org", Kind::OpenUrl},
        {make("run me.sh", "#!/bin/sh\n", true), Kind::StartProgram},
        {make("tool", QByteArray::fromHex("7f454c460201"), true), Kind::StartProgram},
        {make("Pr\xFC"
              "f.sh",
              "#!/bin/sh\n", true),
         Kind::StartProgram},
        {make("notes.txt", "remember", false), Kind::OpenUrl},
        {make("song.mp3", "ID3", true), Kind::OpenUrl}, // every file on a FAT mount
        {folder + "/gone.pdf", Kind::OpenUrl},
        {folder, Kind::OpenUrl},
    };
    for (const auto& [path, kind] : cases) {
        const ShellLaunch launch = DesktopShell::plan(path);
        EXPECT_EQ(launch.kind, kind) << path.toStdString();
        if (kind == Kind::StartProgram) {
            EXPECT_EQ(launch.program, path);
            EXPECT_EQ(launch.workingDirectory, folder);
        } else if (kind == Kind::OpenUrl) {
            EXPECT_EQ(launch.url, path.startsWith('/')
                                      ? QUrl::fromLocalFile(QFile::decodeName(path))
                                      : QUrl(QString::fromUtf8(path)));
        }
    }
    const QByteArray document = make("Re\xE7u.pdf", "%PDF", false);
    EXPECT_EQ(DesktopShell::plan(document).url.toEncoded(),
              "file://" + folder.toPercentEncoding("/") + "/Re%E7u.pdf");
}

TEST(DesktopShellTest, StartsAProgramNamedInAnyEncodingInItsOwnFolder)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + "/D\xE9p\xF4t";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const QByteArray program = folder + "/r\xE9veil";
    ASSERT_TRUE(writeFileBytes(program, "#!/bin/sh\necho started > ran\n"));
    ASSERT_EQ(::chmod(program.constData(), 0700), 0);

    DesktopShell().openFile(program);
    const QByteArray ran = folder + "/ran";
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::access(ran.constData(), F_OK) == 0; }, 5000));
}

} // namespace
