#pragma once

#include <QIcon>
#include <QPoint>
#include <QString>
#include <QSystemTrayIcon>
#include <functional>

/// Receives one activation of the icon as the panel reports it.
using TrayActivationHandler = std::function<void(QSystemTrayIcon::ActivationReason)>;

/// The desktop's notification area as the tray icon component sees it. One backend holds at
/// most one icon. The real one wraps QSystemTrayIcon; tests use a fake.
class TrayBackend
{
public:
    virtual ~TrayBackend() = default;

    /// Whether a notification area is there to take an icon right now.
    [[nodiscard]] virtual bool isAvailable() const = 0;
    /// Puts the icon into the notification area; false when it did not get there.
    [[nodiscard]] virtual bool showIcon() = 0;
    /// Takes the icon out of the notification area; false when it could not be removed.
    [[nodiscard]] virtual bool hideIcon() = 0;
    /// The image shown, now or once the icon is shown.
    virtual void setIcon(const QIcon& icon) = 0;
    /// The tip shown when the mouse rests on the icon; empty for none.
    virtual void setToolTip(const QString& text) = 0;
    /// The icon the application shows when it names none of its own.
    [[nodiscard]] virtual QIcon applicationIcon() const = 0;
    /// The mouse cursor in screen coordinates.
    [[nodiscard]] virtual QPoint cursorPos() const = 0;
    /// The modifier keys held down now.
    [[nodiscard]] virtual Qt::KeyboardModifiers keyboardModifiers() const = 0;
    /// Receives every activation of the icon, and the news that the desktop session ends.
    virtual void setHandlers(TrayActivationHandler onActivation,
                             std::function<void()> onSessionEnd) = 0;
};
