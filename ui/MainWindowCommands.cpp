// The event commands: Add, Edit and Delete from the menus, the tray, the Delete key and the
// double-click in the list.
#include "core/AlarmRules.h"
#include "core/Clock.h"
#include "core/ReminderBook.h"
#include "platform/MessageBoxes.h"
#include "ui/EventDialog.h"
#include "ui/EventTableModel.h"
#include "ui/EventViewModel.h"
#include "ui/ListInputFilter.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QTreeView>

void MainWindow::createEventCommands()
{
    const EventDialog::Context context{
        m_services.boxes,   m_services.fileDialogs,       m_strings,
        m_applicationTitle, m_book.folder().defaultSound, m_services.clock};
    m_addDialog = new EventDialog(EventDialog::Mode::Add, context, this);
    m_editDialog = new EventDialog(EventDialog::Mode::Edit, context, this);
    connect(m_addDialog, &EventDialog::eventEntered, &m_book, &ReminderBook::add);
    connect(m_editDialog, &EventDialog::eventEntered, this,
            [this](const Event& event) { m_book.replace(m_editDialog->editIndex(), event); });

    connect(m_addAction, &QAction::triggered, this, &MainWindow::addEvent);
    connect(m_trayAddAction, &QAction::triggered, this, [this] {
        restoreFromTray();
        addEvent();
    });
    connect(m_editAction, &QAction::triggered, this, &MainWindow::editEvent);
    connect(m_listEditAction, &QAction::triggered, this, &MainWindow::editEvent);
    connect(m_deleteAction, &QAction::triggered, this, &MainWindow::deleteSelectedEvents);
    connect(m_listDeleteAction, &QAction::triggered, this, &MainWindow::deleteSelectedEvents);

    // A double-click on several selected rows edits the first of them, once.
    auto* filter = new ListInputFilter([this] { deleteSelectedEvents(); },
                                       [this] {
                                           if (!selectedRows().empty())
                                               editSelectedEvent();
                                       },
                                       m_listView);
    m_listView->installEventFilter(filter);
    m_listView->viewport()->installEventFilter(filter);
}

std::vector<int> MainWindow::selectedRows() const
{
    // The rows as shown, each taken back to the book's row it holds: the list may be sorted and
    // filtered, the book never is.
    std::vector<int> rows;
    const QItemSelectionModel* selection = m_listView->selectionModel();
    for (int row = 0; row < m_viewModel->rowCount(); ++row) {
        if (selection->isRowSelected(row))
            rows.push_back(m_viewModel->bookRow(row));
    }
    return rows;
}

void MainWindow::addEvent()
{
    // The tray menu can ask again while the dialog is open: show the one that is there.
    if (m_addDialog->isVisible()) {
        m_addDialog->raise();
        m_addDialog->activateWindow();
        return;
    }
    applyCurrentLanguage();
    // In the forms the alarm timer compares, whatever the locale writes.
    const QDateTime now = m_services.clock.now();
    const ClockTexts texts = AlarmRules::clockTexts(now);
    m_addDialog->setPickerDate(now.date());
    m_addDialog->setDateText(texts.today);
    m_addDialog->setTimeText(texts.time);
    if (m_addDialog->exec() != QDialog::Accepted || m_model->count() == 0)
        return;
    // The new event is the book's last row: shown and selected, ready for Edit or Delete, unless
    // the search leaves it out.
    const QModelIndex added = m_viewModel->index(m_viewModel->viewRow(m_model->count() - 1), 0);
    if (!added.isValid())
        return;
    m_listView->setCurrentIndex(added);
    m_listView->selectionModel()->select(added, QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    m_listView->scrollTo(added);
}

void MainWindow::editEvent()
{
    if (selectedRows().empty()) {
        m_services.boxes.showMessage(this, m_applicationTitle, m_strings.selectFirst);
        return;
    }
    editSelectedEvent();
}

void MainWindow::editSelectedEvent()
{
    applyCurrentLanguage();
    const int index = selectedRows().front();
    // The record, not the row: a running countdown shows less than its stored time.
    const Event& event = m_book.at(index);
    m_editDialog->setEditIndex(index);
    m_editDialog->setFields(event);
    m_editDialog->setStatusChoices(m_strings.active, m_strings.done, event.status);
    if (!m_book.save())
        return;
    m_editDialog->exec();
}

void MainWindow::deleteSelectedEvents()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) {
        m_services.boxes.showMessage(this, m_applicationTitle, m_strings.selectFirst);
        return;
    }
    if (!m_services.boxes.askOkCancel(this, m_strings.deleteCaption, m_strings.confirmDelete))
        return;
    m_book.remove(rows);
}
