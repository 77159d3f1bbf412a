#include "ui/EventViewModel.h"

#include "ui/EventTableModel.h"

namespace {

/// The number in count digits from position at; -1 when any of them is not a digit.
int digitsAt(const QString& text, qsizetype at, int count)
{
    if (text.size() < at + count)
        return -1;
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

EventViewModel::EventViewModel(EventTableModel& events, QObject* parent)
    : QSortFilterProxyModel(parent), m_events(events)
{
    setSourceModel(&events);
    // Countdowns and alarms change rows every second: a sorted list keeps them in place.
    setDynamicSortFilter(true);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void EventViewModel::setSearchText(const QString& text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    refilter();
}

void EventViewModel::setHideDone(bool hide)
{
    if (hide == m_hideDone)
        return;
    m_hideDone = hide;
    refilter();
}

void EventViewModel::refilter()
{
    withSortKeys(sortColumn(), [this] {
        invalidate();
        // The rows are mapped (filtered and sorted) on the first question: asked now, while the
        // keys are there.
        (void)rowCount();
    });
}

void EventViewModel::sort(int column, Qt::SortOrder order)
{
    withSortKeys(column, [&] { QSortFilterProxyModel::sort(column, order); });
}

void EventViewModel::withSortKeys(int column, const std::function<void()>& step)
{
    const int rows = m_events.count();
    if (column == EventTableModel::DateColumn || column == EventTableModel::TimeColumn) {
        m_momentKeys.resize(static_cast<std::size_t>(rows));
        for (int row = 0; row < rows; ++row)
            m_momentKeys[static_cast<std::size_t>(row)] = moment(row);
    } else if (column >= 0 && column < EventTableModel::ColumnCount) {
        m_textKeys.resize(static_cast<std::size_t>(rows));
        for (int row = 0; row < rows; ++row)
            m_textKeys[static_cast<std::size_t>(row)] =
                m_events.cell(row, static_cast<EventTableModel::Column>(column)).toCaseFolded();
    }
    step();
    m_momentKeys = {};
    m_textKeys = {};
}

int EventViewModel::bookRow(int viewRow) const
{
    return mapToSource(index(viewRow, 0)).row();
}

int EventViewModel::viewRow(int bookRow) const
{
    return mapFromSource(m_events.index(bookRow, 0)).row();
}

qint64 EventViewModel::moment(int row) const
{
    // "dd.MM.yyyy" and "HH:mm:ss" by position, as the alarm timer reads them; a text that is
    // not one sorts before every real moment.
    const QString& date = m_events.cell(row, EventTableModel::DateColumn);
    const QString& time = m_events.cell(row, EventTableModel::TimeColumn);
    const int day = digitsAt(date, 0, 2);
    const int month = digitsAt(date, 3, 2);
    const int year = digitsAt(date, 6, 4);
    const qint64 dateKey =
        (day < 0 || month < 0 || year < 0) ? -1 : year * 10000 + month * 100 + day;
    const int hours = digitsAt(time, 0, 2);
    const int minutes = digitsAt(time, 3, 2);
    const int seconds = digitsAt(time, 6, 2);
    const qint64 timeKey =
        (hours < 0 || minutes < 0 || seconds < 0) ? -1 : hours * 3600 + minutes * 60 + seconds;
    return dateKey * 1000000 + timeKey;
}

bool EventViewModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const int column = left.column();
    const auto l = static_cast<std::size_t>(left.row());
    const auto r = static_cast<std::size_t>(right.row());
    if (column == EventTableModel::DateColumn || column == EventTableModel::TimeColumn) {
        if (!m_momentKeys.empty())
            return m_momentKeys[l] < m_momentKeys[r];
        return moment(left.row()) < moment(right.row());
    }
    if (!m_textKeys.empty())
        return m_textKeys[l] < m_textKeys[r];
    const auto c = static_cast<EventTableModel::Column>(column);
    return QString::compare(m_events.cell(left.row(), c), m_events.cell(right.row(), c),
                            Qt::CaseInsensitive) < 0;
}

bool EventViewModel::filterAcceptsRow(int sourceRow, const QModelIndex& /*sourceParent*/) const
{
    if (m_hideDone && m_events.isDone(sourceRow))
        return false;
    if (m_searchText.isEmpty())
        return true;
    return m_events.cell(sourceRow, EventTableModel::TitleColumn)
               .contains(m_searchText, Qt::CaseInsensitive) ||
           m_events.cell(sourceRow, EventTableModel::MessageColumn)
               .contains(m_searchText, Qt::CaseInsensitive);
}
