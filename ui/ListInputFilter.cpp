#include "ui/ListInputFilter.h"

#include <QKeyEvent>
#include <QMouseEvent>

ListInputFilter::ListInputFilter(std::function<void()> onDelete,
                                 std::function<void()> onDoubleClick, QObject* parent)
    : QObject(parent), m_onDelete(std::move(onDelete)), m_onDoubleClick(std::move(onDoubleClick))
{}

bool ListInputFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        m_onDelete();
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        m_onDoubleClick();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
