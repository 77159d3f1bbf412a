#pragma once

#include "core/Event.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

/// The rows of the event list view: the displayed, working copy of the records. Column 0 is the
/// caption (Date), columns 1-4 the sub-items Time, Title, Description, Status. Colour and tooltip
/// are asked of the owner at every paint and tooltip request; nothing is cached.
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
    using Row = std::array<QString, ColumnCount>;

    explicit EventTableModel(QObject* parent = nullptr);

    [[nodiscard]] static Row rowFor(const Event& event);

    [[nodiscard]] const QString& cell(int row, Column column) const
    {
        return m_rows[static_cast<std::size_t>(row)][column];
    }
    [[nodiscard]] int count() const { return static_cast<int>(m_rows.size()); }

    /// Writes one cell and repaints the row.
    void setCell(int row, Column column, const QString& text);
    void appendRow(const Row& row);
    void replaceRow(int row, const Row& cells);
    void removeRowAt(int row);
    void clearRows();
    void resetRows(std::vector<Row> rows);

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
    std::vector<Row> m_rows;
    QStringList m_headers;
};
