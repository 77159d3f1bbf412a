// The Settings and About commands.
#include "core/ReminderBook.h"
#include "ui/AboutDialog.h"
#include "ui/MainWindow.h"
#include "ui/SettingsDialog.h"

void MainWindow::showSettings()
{
    applyCurrentLanguage();
    const ProgramSettings settings = m_book.settings();
    m_settingsDialog->setFlags(settings.autoStart, settings.soundPlay, settings.notify);
    m_settingsDialog->setTrayFlags(settings.closeToTray, settings.startHidden);
    m_settingsDialog->exec();
}

void MainWindow::showAbout()
{
    applyCurrentLanguage();
    m_aboutDialog->exec();
}

void MainWindow::setAutoStart(bool on)
{
    // Written when chosen, as every choice is, and the login entry follows at once.
    m_book.setAutoStart(on);
    (void)guarded([this] { updateAutoStart(); });
}
