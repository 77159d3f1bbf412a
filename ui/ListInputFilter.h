#pragma once

#include <QObject>
#include <functional>

/// The list's own keys and clicks: Delete with any modifier, and a left double-click.
class ListInputFilter : public QObject
{
    Q_OBJECT
public:
    ListInputFilter(std::function<void()> onDelete, std::function<void()> onDoubleClick,
                    QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_onDelete;
    std::function<void()> m_onDoubleClick;
};
