#include "ui/FileFilter.h"

#include <QStringList>

namespace {

QString qtPatterns(const QString& patterns)
{
    QStringList list;
    for (const QString& part : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        // On Linux "*.*" would skip every file without a dot in its name.
        list << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    return list.join(QLatin1Char(' '));
}

QString withoutTrailingPatterns(const QString& description)
{
    const QString trimmed = description.trimmed();
    if (!trimmed.endsWith(QLatin1Char(')')))
        return trimmed;
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
    return open < 0 ? trimmed : trimmed.left(open).trimmed();
}

} // namespace

namespace FileFilter {

QString toQt(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = qtPatterns(parts[i + 1]);
        if (patterns.isEmpty())
            continue;
        const QString name = withoutTrailingPatterns(parts[i]);
        entries << (name.isEmpty() ? QString() : name + QLatin1Char(' ')) + QLatin1Char('(') +
                       patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace FileFilter
