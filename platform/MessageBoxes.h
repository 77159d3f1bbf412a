#pragma once

#include <QString>
#include <functional>
#include <vector>

class QWidget;

/// What the Snooze button of an alarm's box offers.
struct SnoozeChoice
{
    /// The button's text, its mnemonic marked with "&".
    QString buttonText;
    /// A drop-down entry's text; "%1" stands for the minutes.
    QString entryText;
    /// The drop-down's entries, in minutes.
    std::vector<int> minutes;
    /// What a press of the button itself snoozes for.
    int defaultMinutes = 0;
};

/// The application's modal message boxes; tests inject a fake that records and answers.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    /// Plain box: the caption, the text and one OK button. Returns when closed.
    virtual void showMessage(QWidget* parent, const QString& caption, const QString& text) = 0;
    /// An alarm's plain box. onShown runs once, as soon as the box has gone to the screen (or when
    /// it is closed before that): the work that goes with the alarm, which must not hold the box
    /// back.
    virtual void showAlarm(QWidget* parent, const QString& caption, const QString& text,
                           const std::function<void()>& onShown) = 0;
    /// An alarm's box as showAlarm's, with a Snooze button beside OK (Alt+S whatever the
    /// language). Returns the minutes chosen, or 0 when the box was closed otherwise.
    [[nodiscard]] virtual int showSnoozableAlarm(QWidget* parent, const QString& caption,
                                                 const QString& text, const SnoozeChoice& snooze,
                                                 const std::function<void()>& onShown) = 0;
    /// OK/Cancel box without icon; true when the answer is OK.
    [[nodiscard]] virtual bool askOkCancel(QWidget* parent, const QString& caption,
                                           const QString& text) = 0;
    /// Closes the open plain box that shows this text, if there is one: its showMessage returns.
    virtual void closeMessage(const QString& text) = 0;
    /// The application's error box: a critical box with the application title as caption.
    virtual void showError(QWidget* parent, const QString& caption, const QString& text) = 0;
};
