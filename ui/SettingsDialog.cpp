#include "ui/SettingsDialog.h"

#include "ui/DialogPlacement.h"
#include "ui/LanguageTable.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace {

QCheckBox* addCheckBox(QVBoxLayout* layout, const char* objectName, const QString& text,
                       bool checked)
{
    auto* box = new QCheckBox(text);
    box->setObjectName(QLatin1String(objectName));
    box->setChecked(checked);
    layout->addWidget(box);
    return box;
}

} // namespace

SettingsDialog::SettingsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("settingsDialog"));
    // Modal to the main window only: the tray stays in reach while it is open.
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral(" Settings"));

    auto* layout = new QVBoxLayout(this);
    // The dialog takes the size of its texts, whatever the language and scale, and no other.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Room for the caption in the title bar next to the close button.
    layout->addStrut(fontMetrics().averageCharWidth() * 32);
    m_autoStartCheckBox =
        addCheckBox(layout, "autoStartCheckBox", QStringLiteral("Start at login"), true);
    m_playSoundCheckBox =
        addCheckBox(layout, "playSoundCheckBox", QStringLiteral("Play Sound"), true);
    m_notifyCheckBox =
        addCheckBox(layout, "notifyCheckBox", QStringLiteral("Desktop notifications"), false);
    m_closeToTrayCheckBox =
        addCheckBox(layout, "closeToTrayCheckBox",
                    QStringLiteral("Keep running in the tray when the window is closed"), false);
    m_startHiddenCheckBox =
        addCheckBox(layout, "startHiddenCheckBox", QStringLiteral("Start in the tray"), false);

    // clicked, not toggled: setFlags shows the flags without reporting them back.
    connect(m_autoStartCheckBox, &QCheckBox::clicked, this, &SettingsDialog::autoStartToggled);
    connect(m_playSoundCheckBox, &QCheckBox::clicked, this, &SettingsDialog::playSoundToggled);
    connect(m_notifyCheckBox, &QCheckBox::clicked, this, &SettingsDialog::notifyToggled);
    connect(m_closeToTrayCheckBox, &QCheckBox::clicked, this, &SettingsDialog::closeToTrayToggled);
    connect(m_startHiddenCheckBox, &QCheckBox::clicked, this, &SettingsDialog::startHiddenToggled);
}

void SettingsDialog::setFlags(bool autoStart, bool playSound, bool notify)
{
    m_autoStartCheckBox->setChecked(autoStart);
    m_playSoundCheckBox->setChecked(playSound);
    m_notifyCheckBox->setChecked(notify);
}

void SettingsDialog::setTrayFlags(bool closeToTray, bool startHidden)
{
    m_closeToTrayCheckBox->setChecked(closeToTray);
    m_startHiddenCheckBox->setChecked(startHidden);
}

void SettingsDialog::applyLanguage(const LanguageFile& file)
{
    ::applyLanguage(
        file, {bindText("FormOptions->Caption", this, "windowTitle"),
               bindText("FormOptions->CheckBoxAutoStart->Caption", m_autoStartCheckBox, "text"),
               bindText("FormOptions->CheckBoxPlaySound->Caption", m_playSoundCheckBox, "text"),
               bindText("FormOptions->CheckBoxNotify->Caption", m_notifyCheckBox, "text"),
               bindText("StringCloseToTray", m_closeToTrayCheckBox, "text"),
               bindText("StringStartHidden", m_startHiddenCheckBox, "text")});
}

void SettingsDialog::showEvent(QShowEvent* event)
{
    centreOnScreen(*this);
    QDialog::showEvent(event);
}
