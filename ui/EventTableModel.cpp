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

EventTableModel::EventTableModel(EventList& events, QObject* parent)
    : QAbstractTableModel(parent),
      m_events(events), m_headers{QStringLiteral("Date"), QStringLiteral("Time"),
                                  QStringLiteral("Title"), QStringLiteral("Description"),
                                  QStringLiteral("Status")}
{}

const QString& EventTableModel::cell(int row, Column column) const
{
    const Event& event = m_events[static_cast<std::size_t>(row)];
    switch (column) {
    case DateColumn:
        return event.date;
    case TimeColumn:
        if (!m_shownTimes.empty())
            if (const auto shown = m_shownTimes.find(row); shown != m_shownTimes.end())
                return shown->second;
        return event.time;
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

void EventTableModel::repaintRow(int row)
{
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void EventTableModel::setShownTime(int row, const QString& time)
{
    if (time == m_events[static_cast<std::size_t>(row)].time)
        m_shownTimes.erase(row);
    else
        m_shownTimes[row] = time;
    repaintRow(row);
}

void EventTableModel::setStatus(int row, const QString& status)
{
    m_events[static_cast<std::size_t>(row)].status = status;
    repaintRow(row);
}

void EventTableModel::append(Event event)
{
    const int at = count();
    beginInsertRows({}, at, at);
    m_events.append(std::move(event));
    endInsertRows();
}

void EventTableModel::replace(int row, Event event)
{
    m_shownTimes.erase(row);
    m_events[static_cast<std::size_t>(row)] = std::move(event);
    repaintRow(row);
}

void EventTableModel::removeAt(int row)
{
    beginRemoveRows({}, row, row);
    // The rows below move up one, and their shown times with them.
    std::map<int, QString> shifted;
    for (auto& [at, time] : m_shownTimes)
        if (at != row)
            shifted.emplace(at < row ? at : at - 1, std::move(time));
    m_shownTimes = std::move(shifted);
    m_events.removeAt(static_cast<std::size_t>(row));
    endRemoveRows();
}

void EventTableModel::reset(EventList events)
{
    beginResetModel();
    m_events = std::move(events);
    m_shownTimes.clear();
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
