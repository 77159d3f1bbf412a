// The File menu: Load, Save and Clear, and the tray menu's Exit.
#include "core/EventsFile.h"
#include "platform/FileDialogs.h"
#include "ui/FileFilter.h"
#include "ui/MainWindow.h"

void MainWindow::loadFromFile()
{
    const QString fileName = m_services.fileDialogs.openFileName(
        this, {}, {}, FileFilter::toQt(m_loadFilter), FileDialogs::Existing::NotRequired);
    if (fileName.isEmpty())
        return;
    // A file that cannot be read changes nothing; automatic saves still go to the default file.
    (void)guarded([&] { loadEvents(fileName, std::nullopt); });
}

void MainWindow::saveToFile()
{
    if (m_saveFileName.isEmpty())
        m_saveFileName = m_eventsFileName;
    const QString fileName = m_services.fileDialogs.saveFileName(this, {}, m_saveFileName,
                                                                 FileFilter::toQt(m_saveFilter));
    if (fileName.isEmpty())
        return;
    m_saveFileName = fileName;
    (void)guarded([&] { EventsFile::save(fileName, m_events); });
}

void MainWindow::exitFromTray()
{
    // The same writes as the main menu's Exit; a failure is shown, and the program ends anyway.
    (void)shutDown();
    m_shutdownDone = true;
    emit exitRequested();
}
