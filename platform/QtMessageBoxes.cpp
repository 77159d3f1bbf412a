#include "platform/QtMessageBoxes.h"

#include <QApplication>
#include <QGridLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <utility>

namespace {

/// The application's icon without its big sizes. Every top-level window sends its icon to the
/// display in each size, as it is created: for a box, the big ones cost milliseconds and show
/// nowhere.
const QIcon& boxIcon()
{
    static const QIcon icon = [] {
        const QIcon full = QApplication::windowIcon();
        QIcon small;
        for (const QSize size : full.availableSizes())
            if (size.width() <= 64)
                small.addPixmap(full.pixmap(size));
        return small.isNull() ? full : small;
    }();
    return icon;
}

/// A text taller than the screen (an alarm for many events) scrolls inside the box, so that the
/// box and its buttons stay on the screen. A text that fits is shown as it always was.
void fitToScreen(QMessageBox& box)
{
    const QScreen* screen = box.screen();
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!screen || !label || !grid)
        return;
    const QStyle* style = box.style();
    const QSize text = label->sizeHint();
    // Room for the title bar, the margins and the button row around the text.
    const int around = 2 * style->pixelMetric(QStyle::PM_TitleBarHeight) +
                       4 * style->pixelMetric(QStyle::PM_LayoutTopMargin) +
                       3 * QFontMetrics(box.font()).height();
    const QRect available = screen->availableGeometry();
    const int room = available.height() - around;
    if (text.height() <= room)
        return;
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(label);
    auto* area = new QScrollArea(&box);
    area->setObjectName(QStringLiteral("messageScrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    area->setWidget(label);
    // As wide as the text and a scroll bar (the box takes its width from its contents), and as
    // high as the screen leaves.
    const int bar = style->pixelMetric(QStyle::PM_ScrollBarExtent);
    area->setMinimumWidth(std::min(text.width() + 2 * bar, available.width() - around));
    area->setFixedHeight(std::max(room, 3 * QFontMetrics(box.font()).height()));
    grid->addWidget(area, row, column, rowSpan, columnSpan);
}

/// The window a new box belongs to. When another box or dialog of the owner's window is open
/// (a save error told while the alarm's box is up), the new box belongs to that one: beside it,
/// modal to the same window, it could be blocked by it and never take a key.
QWidget* ownerFor(QWidget* parent)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!parent || !modal)
        return parent;
    const QWidget* window = parent->window();
    for (const QWidget* w = modal->parentWidget(); w; w = w->parentWidget())
        if (w == window)
            return modal;
    return parent;
}

int run(QMessageBox::Icon icon, QWidget* parent, const QString& caption, const QString& text,
        QMessageBox::StandardButtons buttons, const std::function<void(QMessageBox*)>& opened = {},
        const std::function<void()>& onShown = {})
{
    QMessageBox box(icon, caption, QtMessageBoxes::displayText(text), buttons, ownerFor(parent));
    // Texts come from language and events files: never interpret them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowIcon(boxIcon());
    // Modal to its owner's window only: the tray stays in reach while it is open.
    box.setWindowModality(Qt::WindowModal);
    fitToScreen(box);
    if (opened)
        opened(&box);
    // The work waits for the box's own loop: by then the box has been sent to the display.
    // A box closed before its loop ran still gets its work done.
    bool worked = false;
    const auto work = [&] {
        if (onShown && !std::exchange(worked, true))
            onShown();
    };
    if (onShown)
        QTimer::singleShot(0, &box, work);
    const int answer = box.exec();
    work();
    return answer;
}

/// Brings the alarm's box to the front where the window system lets a program do so (X11), and
/// asks for attention where it does not (Wayland without an activation token): the task bar
/// marks it, until the person comes to it. An active box clears the alert at once.
void askForAttention(QMessageBox* box)
{
    if (!box || !box->isVisible())
        return;
    if (QWindow* window = box->windowHandle())
        window->requestActivate();
    if (!box->isActiveWindow())
        QApplication::alert(box);
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
    box.setWindowIcon(boxIcon());
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

void QtMessageBoxes::showAlarm(QWidget* parent, const QString& caption, const QString& text,
                               const std::function<void()>& onShown)
{
    QMessageBox* shown = nullptr;
    run(
        QMessageBox::NoIcon, parent, caption, text, QMessageBox::Ok,
        [&](QMessageBox* box) {
            m_open.emplace_back(box, text);
            shown = box;
        },
        [&] {
            askForAttention(shown);
            if (onShown)
                onShown();
        });
    std::erase_if(m_open, [](const auto& open) { return open.first.isNull(); });
}

int QtMessageBoxes::showSnoozableAlarm(QWidget* parent, const QString& caption, const QString& text,
                                       const SnoozeChoice& snooze,
                                       const std::function<void()>& onShown)
{
    int chosen = 0;
    run(
        QMessageBox::NoIcon, parent, caption, text, QMessageBox::Ok,
        [&](QMessageBox* box) {
            m_open.emplace_back(box, text);
            // A press snoozes for the usual time; the arrow beside it offers the others.
            auto* button = new QToolButton(box);
            button->setObjectName(QStringLiteral("snoozeButton"));
            button->setText(snooze.buttonText);
            button->setPopupMode(QToolButton::MenuButtonPopup);
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
            button->setMinimumHeight(box->button(QMessageBox::Ok)->sizeHint().height());
            auto* menu = new QMenu(button);
            menu->setObjectName(QStringLiteral("snoozeMenu"));
            for (const int minutes : snooze.minutes)
                QObject::connect(menu->addAction(snooze.entryText.arg(minutes)),
                                 &QAction::triggered, box, [&chosen, box, minutes] {
                                     chosen = minutes;
                                     box->done(QMessageBox::Ok);
                                 });
            button->setMenu(menu);
            QObject::connect(button, &QToolButton::clicked, box, [&chosen, box, &snooze] {
                chosen = snooze.defaultMinutes;
                box->done(QMessageBox::Ok);
            });
            box->addButton(button, QMessageBox::ActionRole);
            // The drop-down from the keyboard too.
            QObject::connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), box),
                             &QShortcut::activated, button, &QToolButton::showMenu);
            // Alt+S in every language, beside the mnemonic the language's text marks.
            if (QKeySequence::mnemonic(snooze.buttonText) != QKeySequence(Qt::ALT | Qt::Key_S))
                QObject::connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_S), box),
                                 &QShortcut::activated, button, &QToolButton::click);
        },
        onShown);
    std::erase_if(m_open, [](const auto& open) { return open.first.isNull(); });
    return chosen;
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
