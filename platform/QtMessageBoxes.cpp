#include "platform/QtMessageBoxes.h"

#include <QMessageBox>
#include <functional>

namespace {

int run(QMessageBox::Icon icon, QWidget* parent, const QString& caption, const QString& text,
        QMessageBox::StandardButtons buttons, const std::function<void(QMessageBox*)>& opened = {})
{
    QMessageBox box(icon, caption, QtMessageBoxes::displayText(text), buttons, parent);
    // Texts come from language and events files: never interpret them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    if (opened)
        opened(&box);
    return box.exec();
}

} // namespace

QString QtMessageBoxes::displayText(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

void QtMessageBoxes::warmUp()
{
    QMessageBox box(QMessageBox::NoIcon, QString(), QStringLiteral("Dorvane"), QMessageBox::Ok);
    box.adjustSize();
}

void QtMessageBoxes::showMessage(QWidget* parent, const QString& caption, const QString& text)
{
    run(QMessageBox::NoIcon, parent, caption, text, QMessageBox::Ok,
        [&](QMessageBox* box) { m_open.emplace_back(box, text); });
    std::erase_if(m_open, [](const auto& open) { return open.first.isNull(); });
}

void QtMessageBoxes::closeMessage(const QString& text)
{
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it)
        if (it->second == text && it->first) {
            it->first->done(QMessageBox::Ok);
            return;
        }
}

bool QtMessageBoxes::askOkCancel(QWidget* parent, const QString& caption, const QString& text)
{
    return run(QMessageBox::NoIcon, parent, caption, text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

void QtMessageBoxes::showError(QWidget* parent, const QString& caption, const QString& text)
{
    run(QMessageBox::Critical, parent, caption, text, QMessageBox::Ok);
}
