// The player's file-name and tag operations.
#include "media/Id3File.h"
#include "media/TcmxMP3.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Tag texts are 8-bit: Latin-1 both ways, so what ChgID3 writes the getters read back.
QString fieldText(const char* field, std::size_t width)
{
    std::size_t length = 0;
    while (length < width && field[length] != '\0')
        ++length;
    return QString::fromLatin1(field, static_cast<qsizetype>(length));
}

void setField(char* field, std::size_t width, const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const std::size_t length = std::min(width, static_cast<std::size_t>(bytes.size()));
    std::copy_n(bytes.constData(), length, field);
}

// Moves without ever replacing the target. Within one filesystem the kernel refuses an
// existing target; across filesystems the file is copied (QFile::copy refuses an existing
// target too) and the original removed.
bool moveNoReplace(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // A filesystem without RENAME_NOREPLACE: link refuses an existing target as well.
        if (::link(source.constData(), target.constData()) != 0)
            return false;
        if (::unlink(source.constData()) == 0)
            return true;
        ::unlink(target.constData());
        return false;
    }
    if (errno != EXDEV || !QFile::copy(from, to))
        return false;
    if (QFile::remove(from))
        return true;
    QFile::remove(to);
    return false;
}
} // namespace

QString TcmxMP3::getFileName() const
{
    const QString name = FullFileName.mid(FullFileName.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString TcmxMP3::getFilePath() const
{
    return FullFileName.left(FullFileName.lastIndexOf(QLatin1Char('/')) + 1);
}

bool TcmxMP3::ChgFilePath(const QString& newDir, const QString& newName)
{
    QString target = newDir;
    if (!target.endsWith(QLatin1Char('/')))
        target += QLatin1Char('/');
    target += newName + QStringLiteral(".mp3");
    if (!moveNoReplace(FullFileName, target))
        return false;
    FullFileName = target;
    return true;
}

TcmxID3 TcmxMP3::id3Init() const
{
    return id3EmptyTag();
}

TcmxID3 TcmxMP3::id3Get() const
{
    return id3ReadFile(FullFileName);
}

void TcmxMP3::id3Put(const TcmxID3& tag)
{
    id3WriteFile(FullFileName, tag);
}

void TcmxMP3::ChgID3(const QString& title, const QString& artist, const QString& album,
                     const QString& comment, int year, std::uint8_t track, std::uint8_t genre)
{
    TcmxID3 tag = id3Init();
    setField(tag.Title, sizeof tag.Title, title);
    setField(tag.Artist, sizeof tag.Artist, artist);
    setField(tag.Album, sizeof tag.Album, album);
    setField(tag.Year, sizeof tag.Year, QString::number(year));
    setField(tag.Comment, sizeof tag.Comment, comment);
    tag.Track = track;
    tag.Genre = genre;
    id3Put(tag);
}

QString TcmxMP3::getTitle() const
{
    return fieldText(ID3.Title, sizeof ID3.Title);
}

QString TcmxMP3::getArtist() const
{
    return fieldText(ID3.Artist, sizeof ID3.Artist);
}

QString TcmxMP3::getAlbum() const
{
    return fieldText(ID3.Album, sizeof ID3.Album);
}

QString TcmxMP3::getYear() const
{
    return fieldText(ID3.Year, sizeof ID3.Year);
}

QString TcmxMP3::getComment() const
{
    return fieldText(ID3.Comment, sizeof ID3.Comment);
}

QString TcmxMP3::getGenreText(int index) const
{
    return id3GenreText(index);
}
