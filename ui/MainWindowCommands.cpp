// The event commands: Add, Edit and Delete from the menus, the tray, the Delete key and the
// double-click in the list.
#include "core/AlarmRules.h"
#include "core/Clock.h"
#include "platform/MessageBoxes.h"
#include "ui/EventDialog.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeView>

namespace {

/// The list's own keys and clicks: Delete with any modifier, and a left double-click.
class ListInputFilter : public QObject
{
public:
    ListInputFilter(std::function<void()> onDelete, std::function<void()> onDoubleClick,
                    QObject* parent)
        : QObject(parent), m_onDelete(std::move(onDelete)),
          m_onDoubleClick(std::move(onDoubleClick))
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
            m_onDelete();
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_onDoubleClick();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onDelete;
    std::function<void()> m_onDoubleClick;
};

} // namespace

void MainWindow::createEventCommands()
{
    const EventDialog::Context context{m_services.boxes, m_services.fileDialogs, m_strings,
                                       m_applicationTitle, m_defaultSoundFile};
    m_addDialog = new EventDialog(EventDialog::Mode::Add, context, this);
    m_editDialog = new EventDialog(EventDialog::Mode::Edit, context, this);
    // Saved at once, as a status change is: a new or changed reminder survives a crash, a power
    // cut or the tray menu's Exit.
    connect(m_addDialog, &EventDialog::eventEntered, this, [this](const Event& event) {
        appendEvent(event);
        saveEventsAndSettings();
    });
    connect(m_editDialog, &EventDialog::eventEntered, this, [this](const Event& event) {
        replaceEvent(m_editDialog->editIndex(), event);
        saveEventsAndSettings();
    });

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
    std::vector<int> rows;
    const QItemSelectionModel* selection = m_listView->selectionModel();
    for (int row = 0; row < m_model->count(); ++row) {
        if (selection->isRowSelected(row))
            rows.push_back(row);
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
    applyLanguage(m_languageName + QStringLiteral(".ini"));
    // In the forms the alarm timer compares, whatever the locale writes.
    const QDateTime now = m_services.clock.now();
    const ClockTexts texts = AlarmRules::decodeNow(now);
    m_addDialog->setPickerDate(now.date());
    m_addDialog->setDateText(texts.today);
    m_addDialog->setTimeText(texts.time);
    m_addDialog->exec();
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
    applyLanguage(m_languageName + QStringLiteral(".ini"));
    const int index = selectedRows().front();
    // The record, not the row: a running countdown shows less than its stored time.
    const Event& event = m_events[static_cast<std::size_t>(index)];
    m_editDialog->setEditIndex(index);
    m_editDialog->setFields(event);
    m_editDialog->setStatusChoices(m_strings.active, m_strings.done, event.status);
    if (!saveEventsAndSettings())
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
    // From the last row down, so the rows still to go keep their indexes.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        removeEventAt(*row);
    saveEventsAndSettings();
}
