#include "ui/DialogPlacement.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace {

/// A caption a language file makes very long is cut at a third of the screen's width, and a group
/// box at the whole width, so that the dialog around them stays on the screen.
void capCaptions(QWidget& window, const QRect& available)
{
    const int third = available.width() / 3;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget))
            widget->setMaximumWidth(third);
        else if (qobject_cast<QGroupBox*>(widget))
            widget->setMaximumWidth(available.width() * 9 / 10);
    }
}

} // namespace

void centreOnScreen(QWidget& window)
{
    const QWidget* anchor = window.parentWidget() ? window.parentWidget() : &window;
    const QScreen* screen = anchor->screen();
    if (!screen)
        return;
    capCaptions(window, screen->availableGeometry());
    // At the size its texts need now: a text changed while it was hidden may not have been laid
    // out yet.
    if (QLayout* layout = window.layout())
        layout->activate();
    // The client area, not the frame: the frame's size is known only after the first showing,
    // so centring the frame would land the first opening elsewhere than the later ones.
    QRect area(QPoint(), window.size());
    area.moveCenter(screen->availableGeometry().center());
    window.setGeometry(area);
}
