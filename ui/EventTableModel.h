#pragma once

#include "core/EventList.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <map>

/// The rows of the event list view over the window's records: row i shows record i, read in
/// place, so a big list costs no copies of its texts. Only the time may differ: a running
/// countdown lowers the time its row shows while the record keeps the time it started from.
/// Records change through the model, which keeps the rows in step. Column 0 is the caption
/// (Date), columns 1-4 the sub-items Time, Title, Description, Status. Colour and tooltip are
/// asked of the owner at every paint and tooltip request; nothing is cached.
class EventTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        DateColumn,
        TimeColumn,
        TitleColumn,
        MessageColumn,
        StatusColumn,
        ColumnCount
    };

    /// The records are the owner's and outlive the model's use by the view.
    explicit EventTableModel(EventList& events, QObject* parent = nullptr);

    [[nodiscard]] const QString& cell(int row, Column column) const;
    [[nodiscard]] int count() const { return static_cast<int>(m_events.size()); }

    /// Shows another time in a row; its record keeps its own.
    void setShownTime(int row, const QString& time);
    /// Sets a record's status and repaints its row.
    void setStatus(int row, const QString& status);
    void append(Event event);
    void replace(int row, Event event);
    void removeAt(int row);
    /// Replaces every record, and every row with it.
    void reset(EventList events);

    void setHeaderText(int column, const QString& text);
    [[nodiscard]] QString headerText(int column) const { return m_headers.value(column); }

    /// Asked for each row when it is painted; an invalid colour keeps the list's own.
    std::function<QColor(int row)> rowColour;
    /// Asked when the pointer rests on a row; lines are separated by carriage returns.
    std::function<QString(int row)> rowTip;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

private:
    void repaintRow(int row);

    EventList& m_events;
    // The times rows show where they differ from their records' (counting down), by row: only
    // countdowns under way, so a big list of plain events costs nothing here.
    std::map<int, QString> m_shownTimes;
    QStringList m_headers;
};
