#pragma once

#include <QString>

class QWidget;

/// The common open and save dialogs; tests inject a fake that answers without a window.
/// Filters are in Qt's form ("Name (*.a *.b);;Other (*.c)").
class FileDialogs
{
public:
    /// Whether an open dialog accepts only a file that exists.
    enum class Existing
    {
        Required,
        NotRequired,
    };

    virtual ~FileDialogs() = default;
    /// The chosen file's full path, or an empty text when the user cancelled.
    [[nodiscard]] virtual QString openFileName(QWidget* parent, const QString& caption,
                                               const QString& directory, const QString& filter,
                                               Existing existing) = 0;
    /// The chosen file's full path, or an empty text when the user cancelled. No question
    /// before an existing file is chosen, and no suffix is added.
    [[nodiscard]] virtual QString saveFileName(QWidget* parent, const QString& caption,
                                               const QString& fileName, const QString& filter) = 0;
};
