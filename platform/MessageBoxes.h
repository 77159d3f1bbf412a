#pragma once

#include <QString>
#include <functional>

class QWidget;

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
    /// OK/Cancel box without icon; true when the answer is OK.
    [[nodiscard]] virtual bool askOkCancel(QWidget* parent, const QString& caption,
                                           const QString& text) = 0;
    /// Closes the open plain box that shows this text, if there is one: its showMessage returns.
    virtual void closeMessage(const QString& text) = 0;
    /// The application's error box: a critical box with the application title as caption.
    virtual void showError(QWidget* parent, const QString& caption, const QString& text) = 0;
};
