#include "tray/SystemTrayBackend.h"

#include "tray/DefaultIcon.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QSessionManager>

namespace {

// Bounded, so a stuck session bus cannot freeze the window while the icon is created.
constexpr int dbusTimeoutMs = 1000;

bool statusNotifierWatcherRegistered()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << QStringLiteral("org.kde.StatusNotifierWatcher");
    const QDBusMessage answer = bus.call(ask, QDBus::Block, dbusTimeoutMs);
    return answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty() &&
           answer.arguments().constFirst().toBool();
}

} // namespace

SystemTrayBackend::SystemTrayBackend(QObject* parent) : QObject(parent)
{
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        if (m_onSessionEnd)
            m_onSessionEnd();
    });
}

SystemTrayBackend::~SystemTrayBackend() = default;

TrayProtocol SystemTrayBackend::detectProtocol()
{
    // Qt's rule when it creates an icon: away from X11 its only tray is the D-Bus one; on X11
    // it takes D-Bus while a StatusNotifierWatcher is registered and XEmbed otherwise.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return TrayProtocol::StatusNotifierItem;
    return statusNotifierWatcherRegistered() ? TrayProtocol::StatusNotifierItem
                                             : TrayProtocol::XEmbed;
}

bool SystemTrayBackend::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool SystemTrayBackend::showIcon()
{
    if (!isAvailable())
        return false;
    if (!m_icon) {
        // Qt chooses the protocol when the icon object is made and never again, so a new
        // object is made for each attempt; that also picks up a panel started after us.
        m_protocol = detectProtocol();
        m_icon = std::make_unique<QSystemTrayIcon>(m_image);
        m_icon->setToolTip(m_toolTip);
        connect(m_icon.get(), &QSystemTrayIcon::activated, this, &SystemTrayBackend::onActivated);
    }
    m_icon->show();
    return m_icon->isVisible();
}

bool SystemTrayBackend::hideIcon()
{
    if (m_icon) {
        m_icon->hide();
        dropIcon();
    }
    return true;
}

void SystemTrayBackend::dropIcon()
{
    // The request may come from a handler of the icon's own signal: let it finish first.
    m_icon.release()->deleteLater();
}

void SystemTrayBackend::setIcon(const QIcon& icon)
{
    m_image = icon;
    if (m_icon)
        m_icon->setIcon(icon);
}

void SystemTrayBackend::setToolTip(const QString& text)
{
    m_toolTip = text;
    if (m_icon)
        m_icon->setToolTip(text);
}

QIcon SystemTrayBackend::applicationIcon() const
{
    const QIcon icon = QApplication::windowIcon();
    return icon.isNull() ? programIcon() : icon;
}

QPoint SystemTrayBackend::cursorPos() const
{
    return QCursor::pos();
}

Qt::KeyboardModifiers SystemTrayBackend::keyboardModifiers() const
{
    return QGuiApplication::queryKeyboardModifiers();
}

void SystemTrayBackend::setHandlers(TrayActivationHandler onActivation,
                                    std::function<void()> onSessionEnd)
{
    m_onActivation = std::move(onActivation);
    m_onSessionEnd = std::move(onSessionEnd);
}

void SystemTrayBackend::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (!m_onActivation)
        return;
    for (const QSystemTrayIcon::ActivationReason activation : activationsFor(reason, m_protocol))
        m_onActivation(activation);
}
