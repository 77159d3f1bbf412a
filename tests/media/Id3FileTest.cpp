// ID3v1 tags checked against real MP3 files made with lame and tagged with id3v2.
#include "media/Id3File.h"

#include "base/AppError.h"
#include "media/GenreNames.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <gmock/gmock.h>
#include <unistd.h>

namespace {

using testing::ThrowsMessage;

std::string field(const char* bytes, std::size_t width)
{
    return std::string(bytes, ::strnlen(bytes, width));
}

void setField(char* bytes, std::size_t width, const std::string& text)
{
    std::memset(bytes, 0, width);
    std::copy_n(text.data(), std::min(width, text.size()), bytes);
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class Id3FileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        if (QStandardPaths::findExecutable("lame").isEmpty() ||
            QStandardPaths::findExecutable("id3v2").isEmpty())
            GTEST_SKIP() << "lame or id3v2 missing: apt-get install lame id3v2";
    }

    QString makeMp3(const QString& name)
    {
        // Half a second of raw 8 kHz mono silence.
        const QString raw = m_dir.filePath(name + ".pcm");
        QString mp3 = m_dir.filePath(name + ".mp3");
        EXPECT_TRUE(writeBytes(raw, QByteArray(8000, '\0')));
        run("lame", {"--quiet", "-r", "-s", "8", "--bitwidth", "16", "-m", "m", raw, mp3});
        return mp3;
    }

    QTemporaryDir m_dir;
};

TEST_F(Id3FileTest, ReadsTheTagTheToolWrote)
{
    const QString mp3 = makeMp3("tagged");
    run("id3v2", {"-1", "-t", "TITLE ", "-a", "ARTIST", "-A", "ALBUM", "-y", "2005", "-c",
                  "COMMENT", "-T", "7", "-g", "17", mp3});

    const Id3v1Tag tag = id3ReadFile(QFile::encodeName(mp3));
    EXPECT_EQ(field(tag.title, 30), "TITLE "); // a trailing space belongs to the text
    EXPECT_EQ(field(tag.artist, 30), "ARTIST");
    EXPECT_EQ(field(tag.album, 30), "ALBUM");
    EXPECT_EQ(field(tag.year, 4), "2005");
    EXPECT_EQ(field(tag.comment, 28), "COMMENT");
    EXPECT_EQ(tag.track, 7);
    EXPECT_EQ(tag.genre, 17);
}

TEST_F(Id3FileTest, FilesWithoutTagGiveTheEmptyTag)
{
    const QString shortFile = m_dir.filePath("short.mp3");
    const QString emptyFile = m_dir.filePath("empty.mp3");
    ASSERT_TRUE(writeBytes(shortFile, QByteArray(100, 'T')));
    ASSERT_TRUE(writeBytes(emptyFile, {}));
    const Id3v1Tag empty = id3EmptyTag();
    for (const QString& path : {makeMp3("plain"), shortFile, emptyFile}) {
        const Id3v1Tag tag = id3ReadFile(QFile::encodeName(path));
        EXPECT_EQ(std::memcmp(&tag, &empty, sizeof tag), 0) << path.toStdString();
    }
}

TEST_F(Id3FileTest, WrittenTagIsReadByTheToolAndReplacesAnOldOne)
{
    const struct
    {
        const char* name;
        bool taggedBefore;
        qint64 growth;
    } cases[] = {{"untagged", false, 128}, {"tagged", true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString mp3 = makeMp3(c.name);
        if (c.taggedBefore)
            run("id3v2", {"-1", "-t", "OLD", "-g", "3", mp3});
        const qint64 sizeBefore = QFileInfo(mp3).size();

        Id3v1Tag tag = id3EmptyTag();
        setField(tag.title, 30, "Thirty characters fill a title"); // no room for a terminator
        setField(tag.artist, 30, "Artist");
        setField(tag.year, 4, "1999");
        tag.track = 12;
        tag.genre = 147;
        id3WriteFile(QFile::encodeName(mp3), tag);

        EXPECT_EQ(QFileInfo(mp3).size(), sizeBefore + c.growth);
        const Id3v1Tag back = id3ReadFile(QFile::encodeName(mp3));
        EXPECT_EQ(std::memcmp(&back, &tag, sizeof tag), 0);
        const QString listing = run("id3v2", {"-l", mp3});
        for (const char* shown :
             {"Title  : Thirty characters fill a title", "Genre: Synthpop (147)", "Track: 12"})
            EXPECT_TRUE(listing.contains(shown)) << listing.toStdString();
    }
}

TEST_F(Id3FileTest, FailuresNameTheirCause)
{
    const QString missing = m_dir.filePath("missing.mp3");
    const QString shortFile = m_dir.filePath("short.mp3");
    ASSERT_TRUE(writeBytes(shortFile, QByteArray(127, 'x')));
    const QString readOnly = makeMp3("readonly");
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner);

    const struct
    {
        QString path;
        std::string message;
        bool skipAsRoot;
    } cases[] = {
        {missing, "File not found", false},
        {m_dir.path(), "File access denied", false},
        {readOnly, "File access denied", true}, // root writes anyway
        {shortFile, "File too short for a tag: fewer than 128 bytes", false},
    };
    for (const auto& c : cases) {
        if (c.skipAsRoot && ::geteuid() == 0)
            continue;
        const qint64 sizeBefore = QFileInfo(c.path).size();
        EXPECT_THAT([&] { id3WriteFile(QFile::encodeName(c.path), id3EmptyTag()); },
                    ThrowsMessage<AppError>(c.message))
            << c.path.toStdString();
        EXPECT_EQ(QFileInfo(c.path).size(), sizeBefore);
    }
    for (const QString& path : {missing, m_dir.path()})
        EXPECT_THAT([&] { (void)id3ReadFile(QFile::encodeName(path)); },
                    ThrowsMessage<AppError>("Cannot open file " + path.toStdString()));
}

// Numbers beyond the table read as themselves; names follow the tool's list.
TEST(GenreTextTest, NumbersBeyondTheTableAndTheToolsNames)
{
    for (const int index : {148, 255, -1})
        EXPECT_EQ(id3GenreText(index), QString::number(index));
    if (QStandardPaths::findExecutable("id3v2").isEmpty())
        GTEST_SKIP() << "id3v2 missing: apt-get install id3v2";
    // Indexes where the tool spells the same genre differently.
    const QList<int> spelledDifferently = {67, 123, 132, 144, 146};
    const QRegularExpression line(R"(^\s*(\d+): (.+)$)", QRegularExpression::MultilineOption);
    int seen = 0;
    for (const auto& match : line.globalMatch(run("id3v2", {"-L"}))) {
        const int index = match.captured(1).toInt();
        ASSERT_LE(index, MaxGenreIndex);
        ++seen;
        if (spelledDifferently.contains(index))
            continue;
        EXPECT_EQ(id3GenreText(index), match.captured(2).trimmed()) << index;
    }
    EXPECT_EQ(seen, MaxGenreIndex + 1);
}

} // namespace
