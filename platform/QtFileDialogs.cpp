#include "platform/QtFileDialogs.h"

#include <QFileDialog>

namespace {

QString run(QFileDialog& dialog)
{
    // Modal to its owner's window only: the tray stays in reach while it is open.
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

} // namespace

QString QtFileDialogs::openFileName(QWidget* parent, const QString& caption,
                                    const QString& directory, const QString& filter,
                                    Existing existing)
{
    QFileDialog dialog(parent, caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(existing == Existing::Required ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
    return run(dialog);
}

QString QtFileDialogs::saveFileName(QWidget* parent, const QString& caption,
                                    const QString& fileName, const QString& filter)
{
    QFileDialog dialog(parent, caption, fileName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return run(dialog);
}
