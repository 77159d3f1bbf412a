#pragma once

#include <QString>

class QWidget;

/// The application's modal message boxes; tests inject a fake that records and answers.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    /// Plain box: the caption, the text and one OK button. Returns when closed.
    virtual void showMessage(QWidget* parent, const QString& caption, const QString& text) = 0;
    /// OK/Cancel box without icon; true when the answer is OK.
    [[nodiscard]] virtual bool askOkCancel(QWidget* parent, const QString& caption,
                                           const QString& text) = 0;
    /// Closes the open plain box that shows this text, if there is one: its showMessage returns.
    virtual void closeMessage(const QString& text) = 0;
    /// The application's error box: a critical box with the application title as caption.
    virtual void showError(QWidget* parent, const QString& caption, const QString& text) = 0;
};
