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

    /// Shows a notification without waiting for the service; the id the signals and withdraw()
    /// use for it, or nothing when it cannot be sent at all. One the service refuses is closed.
    virtual std::optional<quint32> notify(const NotificationRequest& request) = 0;
    /// Takes a notification off the screen, also one still on its way; unknown or closed ids
    /// are ignored.
    virtual void withdraw(quint32 id) = 0;
    /// Whether the notification service shows action buttons at all, as far as known yet.
    [[nodiscard]] virtual bool supportsActions() = 0;

signals:
    /// The user chose the action with this key on notification id.
    void actionInvoked(quint32 id, const QString& actionKey);
    /// Notification id is gone; no more signals come for it.
    void closed(quint32 id, NotificationCloseReason reason);
};
