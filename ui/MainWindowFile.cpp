// The File menu: Load, Save, Clear, the calendar files, and the tray menu's Exit.
#include "core/CalendarTransfer.h"
#include "core/Clock.h"
#include "core/ReminderBook.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "ui/FileFilter.h"
#include "ui/MainWindow.h"

#include <QFileInfo>

void MainWindow::loadFromFile()
{
    const QString fileName = m_services.fileDialogs.openFileName(
        this, {}, {}, FileFilter::toQt(m_loadFilter), FileDialogs::Existing::NotRequired);
    if (fileName.isEmpty())
        return;
    // A file that cannot be read changes nothing; automatic saves still go to the default file.
    (void)guarded([&] { m_book.loadFrom(fileName); });
}

void MainWindow::saveToFile()
{
    if (m_saveFileName.isEmpty())
        m_saveFileName = QFileInfo(m_book.folder().eventsFile).fileName();
    const QString fileName = m_services.fileDialogs.saveFileName(this, {}, m_saveFileName,
                                                                 FileFilter::toQt(m_saveFilter));
    if (fileName.isEmpty())
        return;
    m_saveFileName = fileName;
    (void)guarded([&] { m_book.saveTo(fileName); });
}

void MainWindow::importCalendar()
{
    const QString fileName = m_services.fileDialogs.openFileName(
        this, {}, {}, m_calendarFiles + QStringLiteral(" (*.ics);;* (*)"),
        FileDialogs::Existing::Required);
    if (fileName.isEmpty())
        return;
    // A damaged file adds nothing; the error names its line.
    CalendarTransfer::Counts counts;
    if (guarded([&] {
            counts = CalendarTransfer::importFile(m_book, fileName, m_services.clock.now());
        }))
        m_services.boxes.showMessage(
            this, m_applicationTitle,
            m_imported.arg(QFileInfo(fileName).fileName(), QString::number(counts.added),
                           QString::number(counts.skipped), QString::number(counts.simplified)));
}

void MainWindow::exportCalendar()
{
    const QString fileName = m_services.fileDialogs.saveFileName(
        this, {}, QStringLiteral("dorvane.ics"), m_calendarFiles + QStringLiteral(" (*.ics)"));
    if (fileName.isEmpty())
        return;
    int count = 0;
    if (guarded([&] {
            count = CalendarTransfer::exportFile(m_book, fileName, m_services.clock.now());
        }))
        m_services.boxes.showMessage(this, m_applicationTitle,
                                     m_exported.arg(QString::number(count), fileName));
}

void MainWindow::clearList()
{
    // A slip of the mouse must not cost the list: its next save would empty the file too.
    if (m_book.count() > 0 &&
        !m_services.boxes.askOkCancel(this, m_applicationTitle, m_confirmClear.arg(m_book.count())))
        return;
    m_book.clear();
}

void MainWindow::exitFromTray()
{
    // The same writes as the main menu's Exit; a failure is shown, and the program ends anyway.
    (void)shutDown();
    m_shutdownDone = true;
    emit exitRequested();
}
