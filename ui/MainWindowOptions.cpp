// The Settings and About commands, and the flags the Settings dialog sets.
#include "core/ProgramSettings.h"
#include "ui/AboutDialog.h"
#include "ui/MainWindow.h"
#include "ui/SettingsDialog.h"

void MainWindow::showSettings()
{
    applyLanguage(m_languageName + QStringLiteral(".ini"));
    m_settingsDialog->setFlags(m_autoStart, m_soundPlay, m_notify);
    m_settingsDialog->exec();
}

void MainWindow::showAbout()
{
    applyLanguage(m_languageName + QStringLiteral(".ini"));
    m_aboutDialog->exec();
}

// Each choice is written when it is made, so it holds even if the program never reaches its
// shutdown (a crash, a power cut, the tray menu's Exit).
void MainWindow::setAutoStart(bool on)
{
    m_autoStart = on;
    saveSettingsNow();
    (void)guarded([this] { updateAutoStart(); });
}

void MainWindow::setSoundPlay(bool on)
{
    m_soundPlay = on;
    saveSettingsNow();
}

void MainWindow::setNotify(bool on)
{
    m_notify = on;
    saveSettingsNow();
}

void MainWindow::saveSettingsNow()
{
    (void)guarded([this] { currentSettings().write(settingsFileName()); });
}
