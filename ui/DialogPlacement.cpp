#include "ui/DialogPlacement.h"

#include <QLayout>
#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget& window)
{
    const QWidget* anchor = window.parentWidget() ? window.parentWidget() : &window;
    const QScreen* screen = anchor->screen();
    if (!screen)
        return;
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
