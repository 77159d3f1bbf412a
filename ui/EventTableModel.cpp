#include "ui/EventTableModel.h"

#include "core/ReminderBook.h"
#include "core/RepeatRules.h"
#include "ui/ThemeColours.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace {

/// Tooltips render rich text; ours is plain text with carriage returns for line breaks.
QString tipAsHtml(const QString& text)
{
    QString html = text.toHtmlEscaped();
    html.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    html.replace(QLatin1Char('\r'), QLatin1String("<br>"));
    html.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return QLatin1String("<p style='white-space:pre-wrap'>") + html + QLatin1String("</p>");
}

} // namespace

EventTableModel::EventTableModel(const ReminderBook& book, QObject* parent)
    : QAbstractTableModel(parent),
      m_book(book), m_headers{QStringLiteral("Date"), QStringLiteral("Time"),
                              QStringLiteral("Title"), QStringLiteral("Description"),
                              QStringLiteral("Status")}
{
    connect(&book, &ReminderBook::rowsChanged, this, [this](int first, int last) {
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
    });
    connect(&book, &ReminderBook::rowAboutToBeAdded, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(&book, &ReminderBook::rowAdded, this, [this] { endInsertRows(); });
    connect(&book, &ReminderBook::rowAboutToBeRemoved, this,
            [this](int row) { beginRemoveRows({}, row, row); });
    connect(&book, &ReminderBook::rowRemoved, this, [this] { endRemoveRows(); });
    connect(&book, &ReminderBook::listAboutToBeReset, this, [this] { beginResetModel(); });
    connect(&book, &ReminderBook::listReset, this, [this] { endResetModel(); });
}

int EventTableModel::count() const
{
    return m_book.count();
}

const QString& EventTableModel::cell(int row, Column column) const
{
    const Event& event = m_book.at(row);
    switch (column) {
    case DateColumn:
        return event.date;
    case TimeColumn:
        return m_book.shownTime(row);
    case TitleColumn:
        return event.title;
    case MessageColumn:
        return event.message;
    case StatusColumn:
    case ColumnCount:
        break;
    }
    return event.status;
}

QColor EventTableModel::rowColour(int row) const
{
    // Both tests run, in this order: with equal status words a matching row is red.
    const QColor base = QGuiApplication::palette().color(QPalette::Base);
    QColor colour;
    if (m_book.isActive(row))
        colour = ThemeColours::on(base, QColor(0, 128, 0), QColor(96, 208, 96));
    if (m_book.isDone(row))
        colour = ThemeColours::on(base, QColor(255, 0, 0), QColor(255, 110, 110));
    return colour;
}

bool EventTableModel::isDone(int row) const
{
    return m_book.isDone(row);
}

QString EventTableModel::rowTip(int row) const
{
    QStringList lines;
    for (int c = 0; c < ColumnCount; ++c)
        lines << headerText(c) + QStringLiteral(": ") + cell(row, static_cast<Column>(c));
    const Event& event = m_book.at(row);
    if (const auto kind = RepeatRules::kindOf(event.repeat);
        kind != RepeatRules::Kind::Once && !event.countdown)
        lines << m_repeatTexts.label + QLatin1Char(' ') +
                     m_repeatTexts.names.value(static_cast<qsizetype>(kind));
    return lines.join(QLatin1Char('\r'));
}

void EventTableModel::setHeaderText(int column, const QString& text)
{
    if (column < 0 || column >= ColumnCount)
        return;
    m_headers[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int EventTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int EventTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EventTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cell(index.row(), static_cast<Column>(index.column()));
    case Qt::ForegroundRole:
        if (const QColor colour = rowColour(index.row()); colour.isValid())
            return colour;
        return {};
    case Qt::ToolTipRole:
        return tipAsHtml(rowTip(index.row()));
    default:
        return {};
    }
}

QVariant EventTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_headers.value(section);
    return {};
}
