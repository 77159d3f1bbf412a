#pragma once

#include <QDialog>

class LanguageFile;
class QCheckBox;

/// The Settings dialog: one check box per program-wide flag. There is no OK button: each click
/// reports its flag at once, and the dialog is left through its close button.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);

    /// Shows the flags' current values; emits nothing.
    void setFlags(bool autoStart, bool playSound, bool notify);
    /// Shows the tray flags' current values; emits nothing.
    void setTrayFlags(bool closeToTray, bool startHidden);
    /// Sets every text from the file's keys; a missing key keeps the current text.
    void applyLanguage(const LanguageFile& file);

signals:
    void autoStartToggled(bool on);
    void playSoundToggled(bool on);
    void notifyToggled(bool on);
    void closeToTrayToggled(bool on);
    void startHiddenToggled(bool on);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QCheckBox* m_autoStartCheckBox;
    QCheckBox* m_playSoundCheckBox;
    QCheckBox* m_notifyCheckBox;
    QCheckBox* m_closeToTrayCheckBox;
    QCheckBox* m_startHiddenCheckBox;
};
