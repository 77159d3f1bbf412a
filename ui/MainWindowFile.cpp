// The File menu: Load, Save and Clear, and the tray menu's Exit.
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
