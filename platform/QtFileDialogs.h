#pragma once

#include "platform/FileDialogs.h"

/// The file dialogs as QFileDialog windows.
class QtFileDialogs : public FileDialogs
{
public:
    [[nodiscard]] QString openFileName(QWidget* parent, const QString& caption,
                                       const QString& directory, const QString& filter,
                                       Existing existing) override;
    [[nodiscard]] QString saveFileName(QWidget* parent, const QString& caption,
                                       const QString& fileName, const QString& filter) override;
};
