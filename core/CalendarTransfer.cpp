#include "core/CalendarTransfer.h"

#include "base/AppError.h"
#include "core/CalendarFile.h"
#include "core/ReminderBook.h"

#include <QFile>
#include <QSaveFile>

namespace CalendarTransfer {

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw AppError(text.toStdString());
}

/// The moment a running countdown falls due: what it shows from now, or from its day's start
/// when that is still to come.
QDateTime countdownDue(const ReminderBook& book, int row, const QDateTime& now)
{
    const Event& e = book.at(row);
    if (!e.countdown || !book.isActive(row))
        return {};
    const QTime left = QTime::fromString(book.shownTime(row), QStringLiteral("HH:mm:ss"));
    const QDate day = QDate::fromString(e.date, QStringLiteral("dd.MM.yyyy"));
    if (!left.isValid())
        return {};
    const QDateTime from = day.isValid() && day > now.date() ? QDateTime(day, QTime(0, 0)) : now;
    return from.addSecs(QTime(0, 0).secsTo(left));
}

} // namespace

Counts importFile(ReminderBook& book, const QString& fileName, const QDateTime& now)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString()));
    CalendarFile::Context context;
    context.now = now;
    context.activeWord = book.activeWord();
    context.doneWord = book.doneWord();
    context.defaultSound = book.folder().defaultSound;
    for (const Event& e : book.events())
        if (!e.uid.isEmpty())
            context.knownUids.insert(e.uid);
    CalendarFile::Imported imported = CalendarFile::read(file.readAll(), context);
    const Counts counts{static_cast<int>(imported.events.size()), imported.skipped,
                        imported.simplified};
    if (!book.addAll(std::move(imported.events)))
        fail(QStringLiteral("The events could not be saved"));
    return counts;
}

int exportFile(ReminderBook& book, const QString& fileName, const QDateTime& now)
{
    if (!book.giveUids())
        fail(QStringLiteral("The events could not be saved"));
    const QByteArray text =
        CalendarFile::write(book.events(), QTimeZone::systemTimeZone(), [&](std::size_t i) {
            return countdownDue(book, static_cast<int>(i), now);
        });
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        fail(QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
    return book.count();
}

} // namespace CalendarTransfer
