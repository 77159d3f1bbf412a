// The player's file-name and tag operations.
#include "base/StoredText.h"
#include "media/Id3File.h"
#include "media/Mp3Player.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The same Latin-1 that id3FieldText reads.
void setField(char* field, std::size_t width, const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const std::size_t length = std::min(width, static_cast<std::size_t>(bytes.size()));
    std::copy_n(bytes.constData(), length, field);
}

// Moves without ever replacing the target. Within one filesystem the kernel refuses an
// existing target; across filesystems the file is copied (QFile::copy refuses an existing
// target too) and the original removed.
bool moveNoReplace(const QByteArray& source, const QByteArray& target)
{
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
    // QFile takes names as text, and a name that is not UTF-8 has none that leads back to it.
    if (errno != EXDEV || !isUtf8(source) || !isUtf8(target))
        return false;
    const QString from = QFile::decodeName(source);
    const QString to = QFile::decodeName(target);
    if (!QFile::copy(from, to))
        return false;
    if (QFile::remove(from))
        return true;
    QFile::remove(to);
    return false;
}
} // namespace

QString Mp3Player::fileName() const
{
    const QString name = decodeStored(m_path.mid(m_path.lastIndexOf('/') + 1));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString Mp3Player::filePath() const
{
    return decodeStored(m_path.left(m_path.lastIndexOf('/') + 1));
}

bool Mp3Player::moveFile(const QString& newDir, const QString& newName)
{
    QString target = newDir;
    if (!target.endsWith(QLatin1Char('/')))
        target += QLatin1Char('/');
    target += newName + QStringLiteral(".mp3");
    const QByteArray targetPath = QFile::encodeName(target);
    if (!moveNoReplace(m_path, targetPath))
        return false;
    m_path = targetPath;
    return true;
}

Id3v1Tag Mp3Player::initialTag() const
{
    return id3EmptyTag();
}

Id3v1Tag Mp3Player::readTag() const
{
    return id3ReadFile(m_path);
}

void Mp3Player::writeTag(const Id3v1Tag& tag)
{
    id3WriteFile(m_path, tag);
}

void Mp3Player::changeTag(const QString& title, const QString& artist, const QString& album,
                          const QString& comment, int year, std::uint8_t track, std::uint8_t genre)
{
    Id3v1Tag tag = initialTag();
    setField(tag.title, sizeof tag.title, title);
    setField(tag.artist, sizeof tag.artist, artist);
    setField(tag.album, sizeof tag.album, album);
    setField(tag.year, sizeof tag.year, QString::number(year));
    setField(tag.comment, sizeof tag.comment, comment);
    tag.track = track;
    tag.genre = genre;
    writeTag(tag);
}

QString Mp3Player::title() const
{
    return id3FieldText(m_tag.title, sizeof m_tag.title);
}

QString Mp3Player::artist() const
{
    return id3FieldText(m_tag.artist, sizeof m_tag.artist);
}

QString Mp3Player::album() const
{
    return id3FieldText(m_tag.album, sizeof m_tag.album);
}

QString Mp3Player::year() const
{
    return id3FieldText(m_tag.year, sizeof m_tag.year);
}

QString Mp3Player::comment() const
{
    return id3FieldText(m_tag.comment, sizeof m_tag.comment);
}

QString Mp3Player::genreText(int index) const
{
    return id3GenreText(index);
}
