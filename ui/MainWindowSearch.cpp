// Sorting and searching the list: the header's clicks, the search field and the View menu. Only
// the view changes: the book's rows, and so the events file, keep their order.
#include "core/ReminderBook.h"
#include "ui/EventTableModel.h"
#include "ui/EventViewModel.h"
#include "ui/MainWindow.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QToolBar>
#include <QTreeView>

void MainWindow::createViewCommands()
{
    // The search field shows above the list only while it is used; the list stays the window's
    // central widget, laid out as before.
    m_searchEdit = new QLineEdit(this);
    m_searchEdit->setObjectName(QStringLiteral("searchEdit"));
    m_searchEdit->setPlaceholderText(QStringLiteral("Search titles and descriptions"));
    m_searchEdit->setClearButtonEnabled(true);
    m_searchEdit->installEventFilter(this);
    m_searchBar = new QToolBar(this);
    m_searchBar->setObjectName(QStringLiteral("searchBar"));
    m_searchBar->setMovable(false);
    m_searchBar->setFloatable(false);
    m_searchBar->toggleViewAction()->setVisible(false);
    m_searchBar->addWidget(m_searchEdit);
    m_searchBar->hide();
    addToolBar(Qt::TopToolBarArea, m_searchBar);

    m_viewMenu = new QMenu(QStringLiteral("&View"), this);
    m_viewMenu->setObjectName(QStringLiteral("viewMenu"));
    // Before Help: the menus before it keep their places, which keys and hands know.
    menuBar()->insertMenu(m_helpMenu->menuAction(), m_viewMenu);
    m_searchAction = m_viewMenu->addAction(QStringLiteral("Search"));
    m_searchAction->setObjectName(QStringLiteral("searchAction"));
    m_searchAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_hideDoneAction = m_viewMenu->addAction(QStringLiteral("Hide done events"));
    m_hideDoneAction->setObjectName(QStringLiteral("hideDoneAction"));
    m_hideDoneAction->setCheckable(true);
    m_fileOrderAction = m_viewMenu->addAction(QStringLiteral("File order"));
    m_fileOrderAction->setObjectName(QStringLiteral("fileOrderAction"));

    // A click sorts by a column, the next reverses, the third gives the file's order back.
    QHeaderView* header = m_listView->header();
    header->setSortIndicatorClearable(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    m_listView->setSortingEnabled(true);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &MainWindow::saveListView);
    connect(m_fileOrderAction, &QAction::triggered, this,
            [this] { m_listView->sortByColumn(-1, Qt::AscendingOrder); });
    connect(m_hideDoneAction, &QAction::toggled, this, [this](bool on) {
        m_viewModel->setHideDone(on);
        saveListView();
    });
    connect(m_searchAction, &QAction::triggered, this, &MainWindow::showSearch);
    connect(m_searchEdit, &QLineEdit::textChanged, m_viewModel, &EventViewModel::setSearchText);
    // Enter goes to the first row found, ready for Edit or Delete.
    connect(m_searchEdit, &QLineEdit::returnPressed, this, [this] {
        m_listView->setFocus();
        if (m_viewModel->rowCount() == 0)
            return;
        const QModelIndex first = m_viewModel->index(0, 0);
        m_listView->setCurrentIndex(first);
        m_listView->selectionModel()->select(first, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
    });
}

void MainWindow::applyListView()
{
    const ProgramSettings settings = m_book.settings();
    {
        const QSignalBlocker blocker(m_hideDoneAction);
        m_hideDoneAction->setChecked(settings.hideDone);
    }
    m_viewModel->setHideDone(settings.hideDone);
    // A column this version does not have leaves the file's order.
    const bool known =
        settings.sortColumn >= 0 && settings.sortColumn < EventTableModel::ColumnCount;
    m_listView->sortByColumn(known ? settings.sortColumn : -1,
                             settings.sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void MainWindow::saveListView()
{
    const QHeaderView* header = m_listView->header();
    const int column = header->sortIndicatorSection();
    const bool sorted = column >= 0 && column < EventTableModel::ColumnCount;
    m_book.setListView(sorted ? column : -1,
                       sorted && header->sortIndicatorOrder() == Qt::DescendingOrder,
                       m_hideDoneAction->isChecked());
}

void MainWindow::showSearch()
{
    m_searchBar->show();
    m_searchEdit->setFocus();
    m_searchEdit->selectAll();
}

void MainWindow::hideSearch()
{
    m_searchEdit->clear();
    m_searchBar->hide();
    m_listView->setFocus();
    m_listView->scrollTo(m_listView->currentIndex());
}

bool MainWindow::searchFieldKey(QEvent& event)
{
    if (event.type() != QEvent::ShortcutOverride && event.type() != QEvent::KeyPress)
        return false;
    auto& key = static_cast<QKeyEvent&>(event);
    const bool own =
        key.key() == Qt::Key_Escape || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (!own)
        return false;
    // Taken before the window's shortcuts: Enter here must not open the Edit dialog.
    if (event.type() == QEvent::ShortcutOverride) {
        event.accept();
        return true;
    }
    if (key.key() != Qt::Key_Escape)
        return false;
    hideSearch();
    return true;
}
