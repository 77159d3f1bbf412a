#include "ui/EventTableModel.h"

#include <QColor>

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

EventTableModel::EventTableModel(QObject* parent)
    : QAbstractTableModel(parent), m_headers{QStringLiteral("Date"), QStringLiteral("Time"),
                                             QStringLiteral("Title"), QStringLiteral("Description"),
                                             QStringLiteral("Status")}
{}

EventTableModel::Row EventTableModel::rowFor(const Event& event)
{
    return {event.date, event.time, event.title, event.message, event.status};
}

void EventTableModel::setCell(int row, Column column, const QString& text)
{
    m_rows.at(static_cast<std::size_t>(row))[column] = text;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void EventTableModel::appendRow(const Row& row)
{
    const int at = count();
    beginInsertRows({}, at, at);
    m_rows.push_back(row);
    endInsertRows();
}

void EventTableModel::replaceRow(int row, const Row& cells)
{
    m_rows.at(static_cast<std::size_t>(row)) = cells;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void EventTableModel::removeRowAt(int row)
{
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void EventTableModel::clearRows()
{
    resetRows({});
}

void EventTableModel::resetRows(std::vector<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
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
        if (rowColour) {
            const QColor colour = rowColour(index.row());
            if (colour.isValid())
                return colour;
        }
        return {};
    case Qt::ToolTipRole:
        return rowTip ? QVariant(tipAsHtml(rowTip(index.row()))) : QVariant();
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
