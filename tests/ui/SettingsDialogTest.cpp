#include "ui/SettingsDialog.h"

#include "i18n/LanguageFile.h"
#include "support/LanguageFolder.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QString textOf(const SettingsDialog& dialog, const char* target)
{
    if (QLatin1String(target) == "caption")
        return dialog.windowTitle();
    return dialog.findChild<QCheckBox*>(QLatin1String(target))->text();
}

} // namespace

TEST(SettingsDialogTest, LanguageFileSetsEveryTextAndAMissingKeyKeepsIt)
{
    const struct
    {
        const char* key;
        const char* target;
    } keys[] = {{"FormOptions->Caption", "caption"},
                {"FormOptions->CheckBoxAutoStart->Caption", "autoStartCheckBox"},
                {"FormOptions->CheckBoxPlaySound->Caption", "playSoundCheckBox"},
                {"FormOptions->CheckBoxNotify->Caption", "notifyCheckBox"},
                {"StringCloseToTray", "closeToTrayCheckBox"},
                {"StringStartHidden", "startHiddenCheckBox"}};
    const LanguageFolder folder;
    // Each round leaves one key out of an otherwise complete file; -1 leaves none out.
    for (int missing = -1; missing < int(std::size(keys)); ++missing) {
        SettingsDialog dialog;
        QStringList builtIn;
        QStringList lines;
        for (int i = 0; i < int(std::size(keys)); ++i) {
            builtIn << textOf(dialog, keys[i].target);
            if (i != missing)
                lines << QLatin1String(keys[i].key) + u"=Текст "_s + QString::number(i);
        }
        folder.write(u"Test.ini"_s, lines);
        dialog.applyLanguage(LanguageFile(u"Test.ini"_s, {}));
        for (int i = 0; i < int(std::size(keys)); ++i)
            EXPECT_EQ(textOf(dialog, keys[i].target),
                      i == missing ? builtIn[i] : u"Текст "_s + QString::number(i))
                << keys[i].key << ", missing " << missing;
    }
}

TEST(SettingsDialogTest, EachClickReportsItsOwnFlagAtOnce)
{
    SettingsDialog dialog;
    QSignalSpy autoStart(&dialog, &SettingsDialog::autoStartToggled);
    QSignalSpy playSound(&dialog, &SettingsDialog::playSoundToggled);
    QSignalSpy notify(&dialog, &SettingsDialog::notifyToggled);
    QSignalSpy closeToTray(&dialog, &SettingsDialog::closeToTrayToggled);
    QSignalSpy startHidden(&dialog, &SettingsDialog::startHiddenToggled);
    QSignalSpy* spies[] = {&autoStart, &playSound, &notify, &closeToTray, &startHidden};
    const char* boxes[] = {"autoStartCheckBox", "playSoundCheckBox", "notifyCheckBox",
                           "closeToTrayCheckBox", "startHiddenCheckBox"};

    // Showing the flags reports nothing back.
    dialog.setFlags(false, true, false);
    dialog.setTrayFlags(true, false);
    dialog.show();
    for (QSignalSpy* spy : spies)
        EXPECT_TRUE(spy->isEmpty());

    const bool shown[] = {false, true, false, true, false};
    for (int i = 0; i < 5; ++i) {
        auto* box = dialog.findChild<QCheckBox*>(QLatin1String(boxes[i]));
        EXPECT_EQ(box->isChecked(), shown[i]) << boxes[i];
        // On the box itself: a wide check box takes no clicks beyond its text.
        const QPoint indicator(4, box->height() / 2);
        QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
        QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
        for (int j = 0; j < 5; ++j) {
            if (j != i) {
                EXPECT_TRUE(spies[j]->isEmpty()) << boxes[i];
                continue;
            }
            ASSERT_EQ(spies[i]->size(), 2) << boxes[i];
            EXPECT_EQ(spies[i]->at(0).at(0).toBool(), !shown[i]) << boxes[i];
            EXPECT_EQ(spies[i]->at(1).at(0).toBool(), shown[i]) << boxes[i];
        }
        spies[i]->clear();
    }
}
