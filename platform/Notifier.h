#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

/// A button on a notification: the key comes back through Notifier::actionInvoked.
struct NotificationAction
{
    QString key;
    QString label;
};

/// What one desktop notification shows.
struct NotificationRequest
{
    QString appName;
    /// A themed icon name or a file URL; empty for none.
    QString iconName;
    QString summary;
    QString body;
    /// Critical notifications stay until the user closes them.
    bool critical = false;
    QList<NotificationAction> actions;
};

/// Why a notification went away, as the desktop reports it.
enum class NotificationCloseReason
{
    Expired = 1,
    Dismissed = 2, ///< closed by the user
    Withdrawn = 3, ///< closed through Notifier::withdraw
    Undefined = 4
};

/// Shows desktop notifications. Signals only concern notifications this notifier showed.
class Notifier : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /// Shows a notification; its id, or nothing when no notification service answered.
    virtual std::optional<quint32> notify(const NotificationRequest& request) = 0;
    /// Takes a shown notification off the screen; unknown or closed ids are ignored.
    virtual void withdraw(quint32 id) = 0;
    /// Whether the notification service shows action buttons at all.
    [[nodiscard]] virtual bool supportsActions() = 0;

signals:
    /// The user chose the action with this key on notification id.
    void actionInvoked(quint32 id, const QString& actionKey);
    /// Notification id is gone; no more signals come for it.
    void closed(quint32 id, NotificationCloseReason reason);
};
