#include "platform/XdgAutoStart.h"

#include "base/AppError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <utility>

namespace {

// The longest file name the usual Linux file systems take, in bytes.
constexpr qsizetype MaxFileNameBytes = 255;

// Seconds to wait after login so the panel and its tray are up before the icon is added.
constexpr int StartDelaySeconds = 5;

[[noreturn]] void failToSet(const QString& caption)
{
    throw AppError(QStringLiteral("Failed to set data for '%1'").arg(caption).toStdString());
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

} // namespace

XdgAutoStart::XdgAutoStart(QString folder) : m_folder(std::move(folder)) {}

QString XdgAutoStart::folder() const
{
    if (!m_folder.isEmpty())
        return m_folder;
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

QString XdgAutoStart::fileNameFor(const QString& caption)
{
    // The caption comes from a language file: it must never leave the autostart folder.
    QString name = caption;
    for (QChar& c : name) {
        if (c == u'/' || isControl(c))
            c = u'_';
    }
    if (name.isEmpty())
        name = QStringLiteral("_");
    const QString suffix = QStringLiteral(".desktop");
    if (name.toUtf8().size() + suffix.size() <= MaxFileNameBytes)
        return name + suffix;
    // Too long for a file name: a prefix of whole characters, and a digest of the whole caption
    // so that two long captions alike at the start still get entries of their own.
    const QString tag =
        u'~' +
        QString::fromLatin1(
            QCryptographicHash::hash(caption.toUtf8(), QCryptographicHash::Sha1).toHex().left(8));
    const qsizetype budget = MaxFileNameBytes - suffix.size() - tag.size();
    qsizetype bytes = 0;
    qsizetype end = 0;
    while (end < name.size()) {
        const bool pair = name.at(end).isHighSurrogate() && end + 1 < name.size();
        const qsizetype width = pair ? 2 : 1;
        const qsizetype size = name.mid(end, width).toUtf8().size();
        if (bytes + size > budget)
            break;
        bytes += size;
        end += width;
    }
    return name.left(end) + tag + suffix;
}

QString XdgAutoStart::entryPath(const QString& caption) const
{
    return folder() + u'/' + fileNameFor(caption);
}

QString XdgAutoStart::escapeString(const QString& value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u' ':
            // Readers strip leading blanks of a value.
            out += i == 0 ? QStringLiteral("\\s") : QStringLiteral(" ");
            break;
        default:
            // Other control characters have no escape; a blank keeps the line intact.
            out += isControl(c) ? QChar(u' ') : c;
        }
    }
    return out;
}

QString XdgAutoStart::execValue(const QString& executablePath)
{
    // Quoting comes first, then the string escaping of the whole value, so a literal
    // backslash ends up as four and a dollar sign as "\\$". "%" is a field code otherwise.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : executablePath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    quoted += u'"';
    // GLib (and so GNOME's session) looks the program up with its "%%" still doubled and
    // drops the entry as broken; behind a shell the path is an argument, whose "%%" every
    // launcher turns into "%" before running it.
    if (executablePath.contains(u'%'))
        quoted = QStringLiteral("/bin/sh -c \"exec \\\"\\$0\\\"\" ") + quoted;
    return escapeString(quoted);
}

QByteArray XdgAutoStart::entryText(const QString& caption, const QString& executablePath)
{
    for (const QChar c : executablePath) {
        // The Exec line can carry \n, \t and \r escaped; no other control character.
        if (isControl(c) && c != u'\n' && c != u'\t' && c != u'\r')
            failToSet(caption);
    }
    if (executablePath.isEmpty())
        failToSet(caption);
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=") + escapeString(caption) + u'\n';
    text += QStringLiteral("Exec=") + execValue(executablePath) + u'\n';
    // Started in its own folder, as from a terminal there: the language files are looked up
    // relative to the current folder, and without them no status word would match.
    text +=
        QStringLiteral("Path=") + escapeString(QFileInfo(executablePath).absolutePath()) + u'\n';
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    // The program lives in the tray: ask the sessions to start it once the panel is there.
    text += QStringLiteral("X-GNOME-Autostart-Delay=%1\n").arg(StartDelaySeconds);
    text += QStringLiteral("X-LXQt-Need-Tray=true\n");
    text += QStringLiteral("X-KDE-autostart-after=panel\n");
    return text.toUtf8();
}

void XdgAutoStart::enable(const QString& caption, const QString& executablePath)
{
    const QByteArray text = entryText(caption, executablePath);
    const QString dir = folder();
    if (!QDir().mkpath(dir))
        failToSet(caption);
    QSaveFile file(dir + u'/' + fileNameFor(caption));
    if (!file.open(QIODevice::WriteOnly))
        failToSet(caption);
    if (file.write(text) != text.size() || !file.commit())
        failToSet(caption);
}

void XdgAutoStart::disable(const QString& caption)
{
    // A missing entry is no error, and a refused delete is not reported either.
    QFile::remove(entryPath(caption));
}
