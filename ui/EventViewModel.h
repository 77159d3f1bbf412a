#pragma once

#include <QSortFilterProxyModel>
#include <QString>
#include <functional>
#include <vector>

class EventTableModel;

/// The rows as the list shows them: sorted by a column and filtered by a search text and by
/// status, over the book's rows, which keep the file's order. Date and Time sort by the moment
/// (the date, then the time the row shows), the texts case-insensitively; equal rows keep the
/// file's order.
class EventViewModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    /// The events model outlives this one.
    explicit EventViewModel(EventTableModel& events, QObject* parent = nullptr);

    /// Shows only the rows whose title or description holds text, in any case; empty: all.
    void setSearchText(const QString& text);
    [[nodiscard]] const QString& searchText() const { return m_searchText; }
    void setHideDone(bool hide);
    [[nodiscard]] bool hidesDone() const { return m_hideDone; }

    /// The book's row a shown row holds.
    [[nodiscard]] int bookRow(int viewRow) const;
    /// Where the list shows a book's row; -1 while it is filtered out.
    [[nodiscard]] int viewRow(int bookRow) const;

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    [[nodiscard]] bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    [[nodiscard]] bool filterAcceptsRow(int sourceRow,
                                        const QModelIndex& sourceParent) const override;

private:
    /// The date and time of a row as one number that orders chronologically.
    [[nodiscard]] qint64 moment(int row) const;
    /// A filter change is one layout change: removing the rows that no longer match one run at
    /// a time costs the list a pass over all its rows per run.
    void refilter();
    /// Runs a step that sorts every row with each row's sort key worked out once beforehand;
    /// with 100,000 rows, working them out at each comparison costs ten times the sort.
    void withSortKeys(int column, const std::function<void()>& step);

    const EventTableModel& m_events;
    QString m_searchText;
    bool m_hideDone = false;
    // Filled only while a whole sort runs; a row changed or added later is compared directly.
    std::vector<qint64> m_momentKeys;
    std::vector<QString> m_textKeys;
};
