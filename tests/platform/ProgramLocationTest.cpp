#include "platform/ProgramLocation.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(ProgramLocation, FolderNamedInBytesQtCannotDecodeIsStillReached)
{
    QTemporaryDir root;
    const QByteArray folder = QFile::encodeName(root.path()) + "/Caf\xe9";
    ASSERT_EQ(mkdir(folder.constData(), 0700), 0);
    const QByteArray events = folder + "/events.ini";
    std::FILE* raw = std::fopen(events.constData(), "w");
    ASSERT_NE(raw, nullptr);
    std::fputs("[Event0]\n", raw);
    std::fclose(raw);

    const ProgramLocation location = locateProgram(folder + "/dorvane");
    EXPECT_FALSE(location.pathIsLasting);
    EXPECT_EQ(location.folderBytes, folder);
    EXPECT_TRUE(location.executable.endsWith(u"/dorvane"));
    // The files beside the executable are found through the path given.
    const QString dir = location.executable.left(location.executable.lastIndexOf(u'/') + 1);
    QFile file(dir + QStringLiteral("events.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
    EXPECT_EQ(file.readAll(), "[Event0]\n");

    const ProgramLocation plain = locateProgram("/opt/Dorvane \xc3\xa9/dorvane");
    EXPECT_TRUE(plain.pathIsLasting);
    EXPECT_EQ(plain.executable, QString::fromUtf8("/opt/Dorvane \xc3\xa9/dorvane"));
}

} // namespace
