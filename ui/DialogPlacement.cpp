#include "ui/DialogPlacement.h"

#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget& window)
{
    const QWidget* anchor = window.parentWidget() ? window.parentWidget() : &window;
    const QScreen* screen = anchor->screen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}
