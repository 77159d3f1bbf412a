#pragma once

#include "ui/RepeatTexts.h"

#include <QAbstractTableModel>
#include <QStringList>

class ReminderBook;

/// The rows of the event list view over the reminder book: row i shows record i, read in place,
/// so a big list costs no copies of its texts. Column 0 is the caption (Date), columns 1-4 the
/// sub-items Time, Title, Description, Status. Colour and tooltip are worked out from the record
/// at every paint and tooltip request; nothing is cached.
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

    /// The book outlives the model's use by the view.
    explicit EventTableModel(const ReminderBook& book, QObject* parent = nullptr);

    [[nodiscard]] const QString& cell(int row, Column column) const;
    [[nodiscard]] int count() const;

    void setHeaderText(int column, const QString& text);
    [[nodiscard]] QString headerText(int column) const { return m_headers.value(column); }
    /// The colour of a row's texts: green while active, red once done, the list's own otherwise.
    [[nodiscard]] QColor rowColour(int row) const;
    /// Each column's header and text, a line each, separated by carriage returns; then how a
    /// repeating event repeats.
    [[nodiscard]] QString rowTip(int row) const;
    /// Whether a row's status is the done word in force.
    [[nodiscard]] bool isDone(int row) const;
    void setRepeatTexts(const RepeatTexts& texts) { m_repeatTexts = texts; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

private:
    const ReminderBook& m_book;
    QStringList m_headers;
    RepeatTexts m_repeatTexts;
};
