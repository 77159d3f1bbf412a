#pragma once

#include "platform/MessageBoxes.h"

#include <QMessageBox>
#include <QPointer>
#include <utility>
#include <vector>

/// The message boxes as QMessageBox dialogs. Texts are shown as plain text, with carriage
/// returns as line breaks.
class QtMessageBoxes : public MessageBoxes
{
public:
    void showMessage(QWidget* parent, const QString& caption, const QString& text) override;
    void showAlarm(QWidget* parent, const QString& caption, const QString& text,
                   const std::function<void()>& onShown) override;
    [[nodiscard]] int showSnoozableAlarm(QWidget* parent, const QString& caption,
                                         const QString& text, const SnoozeChoice& snooze,
                                         const std::function<void()>& onShown) override;
    [[nodiscard]] bool askOkCancel(QWidget* parent, const QString& caption,
                                   const QString& text) override;
    void showError(QWidget* parent, const QString& caption, const QString& text) override;
    void closeMessage(const QString& text) override;

    /// Builds and lays out a box that is never shown, so that the first alarm's box does not
    /// wait for the style, the fonts and the icons to load.
    static void warmUp();

    /// The text as displayed: "\r\n" and a lone "\r" become "\n".
    [[nodiscard]] static QString displayText(const QString& text);

private:
    // The plain boxes open now, innermost last, with the text each was asked to show.
    std::vector<std::pair<QPointer<QMessageBox>, QString>> m_open;
};
