#pragma once

#include <QDialog>

class LanguageFile;
class QFrame;
class QLabel;
class QPushButton;
class Shell;

/// The About box: the program's name, version and purpose, its makers and their web address.
/// The address label acts as a link: red under the mouse, blue again once the mouse is back on
/// the bare panel, and any mouse button opens it.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(Shell& shell, QWidget* parent = nullptr);

    /// Sets every text from the file's keys; a missing key keeps the current text.
    void applyLanguage(const LanguageFile& file);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    /// The labels' colours, lighter on a dark window colour.
    void applyColours();
    void openSite();

    Shell& m_shell;
    QFrame* m_panel;
    QLabel* m_programIconLabel;
    QLabel* m_titleLabel;
    QLabel* m_aboutLabel;
    QLabel* m_authorLabel;
    QLabel* m_emailLabel;
    QLabel* m_siteLabel;
    QPushButton* m_okButton;
};
