#include "tray/TrayActivation.h"

QList<MouseMessage> mouseMessagesFor(QSystemTrayIcon::ActivationReason reason,
                                     TrayProtocol protocol)
{
    using enum MouseMessage;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (protocol == TrayProtocol::StatusNotifierItem)
            return {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
        return {WM_LBUTTONDOWN, WM_LBUTTONUP};
    case QSystemTrayIcon::DoubleClick:
        return {WM_LBUTTONDBLCLK};
    case QSystemTrayIcon::Context:
        return {WM_RBUTTONDOWN, WM_RBUTTONUP};
    case QSystemTrayIcon::MiddleClick:
        return {WM_MBUTTONDOWN, WM_MBUTTONUP};
    case QSystemTrayIcon::Unknown:
        break;
    }
    return {};
}
