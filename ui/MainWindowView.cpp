// The main window's list view and its column layout.
#include "ui/ColumnLayout.h"
#include "ui/EventTableModel.h"
#include "ui/EventViewModel.h"
#include "ui/MainWindow.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QResizeEvent>
#include <QStyle>
#include <QTreeView>

namespace {

bool isNavigationKey(const QKeyEvent& key)
{
    // With Ctrl the view moves the cursor on purpose without selecting.
    if (key.modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

} // namespace

void MainWindow::createListView()
{
    m_model = new EventTableModel(m_book, this);
    m_viewModel = new EventViewModel(*m_model, this);
    m_listView = new QTreeView(this);
    m_listView->setObjectName(QStringLiteral("eventListView"));
    m_listView->setModel(m_viewModel);
    m_listView->setRootIsDecorated(false);
    m_listView->setItemsExpandable(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setSortingEnabled(false);
    m_listView->setAllColumnsShowFocus(true);
    // Row tips also while the window is not the active one.
    m_listView->viewport()->setAttribute(Qt::WA_AlwaysShowToolTips);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_listView->header()->setSectionsClickable(false);
    m_listView->header()->setSectionsMovable(false);
    m_listView->header()->setStretchLastSection(false);
    setColumnWidths({70, 55, 120, 200, 55});
    m_listView->installEventFilter(this);
    connect(m_listView, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_listMenu->popup(m_listView->viewport()->mapToGlobal(pos));
    });
    setCentralWidget(m_listView);
    m_listView->setFocus();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_searchEdit && searchFieldKey(*event))
        return true;
    if (watched == m_listView && event->type() == QEvent::Resize) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->oldSize().isValid())
            layoutColumns(resize->size().width());
    }
    if (watched == m_listView && event->type() == QEvent::KeyPress &&
        isNavigationKey(*static_cast<QKeyEvent*>(event))) {
        // A key that leaves the cursor where it was (Home on the first row) selects nothing in
        // the view; here the row the cursor rests on is selected after any navigation key.
        static_cast<QObject*>(m_listView)->event(event);
        const QModelIndex current = m_listView->currentIndex();
        if (current.isValid() && !m_listView->selectionModel()->hasSelection())
            m_listView->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::layoutColumns(int listWidth)
{
    setColumnWidths(ColumnLayout::forListWidth(listWidth));
}

void MainWindow::setColumnWidths(const ColumnLayout::Widths& widths)
{
    // The date and time columns were sized for a narrow 8-point face; in a wider one they still
    // show a whole "dd.MM.yyyy" and "HH:mm:ss". A negative width shows as an empty column.
    const QFontMetrics metrics(m_listView->font());
    const int margins =
        2 * (m_listView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) + 2;
    const int status = std::max(metrics.horizontalAdvance(m_strings.active),
                                metrics.horizontalAdvance(m_strings.done));
    const int minimum[] = {metrics.horizontalAdvance(QStringLiteral("00.00.0000")) + margins,
                           metrics.horizontalAdvance(QStringLiteral("00:00:00")) + margins, 0, 0,
                           status + margins};
    // What the other columns grow by, the description gives up, as it does for the scroll bar:
    // a wider face or a longer status word must not push the list into scrolling sideways.
    ColumnLayout::Widths fitted = widths;
    int grown = 0;
    for (int c = 0; c < EventTableModel::ColumnCount; ++c) {
        auto& width = fitted[static_cast<std::size_t>(c)];
        if (c != EventTableModel::MessageColumn && minimum[c] > width) {
            grown += minimum[c] - std::max(0, width);
            width = minimum[c];
        }
    }
    auto& description = fitted[EventTableModel::MessageColumn];
    description = std::max(0, description - grown);
    for (int c = 0; c < EventTableModel::ColumnCount; ++c)
        m_listView->setColumnWidth(c, std::max(0, fitted[static_cast<std::size_t>(c)]));
}
