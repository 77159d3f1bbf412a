#include "tray/TrayActivation.h"

QList<MouseMessage> mouseMessagesFor(QSystemTrayIcon::ActivationReason reason,
                                     TrayProtocol protocol)
{
    using enum MouseMessage;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (protocol == TrayProtocol::StatusNotifierItem)
            return {LeftPressed, LeftReleased, LeftDoubleClicked};
        return {LeftPressed, LeftReleased};
    case QSystemTrayIcon::DoubleClick:
        return {LeftDoubleClicked};
    case QSystemTrayIcon::Context:
        return {RightPressed, RightReleased};
    case QSystemTrayIcon::MiddleClick:
        return {MiddlePressed, MiddleReleased};
    case QSystemTrayIcon::Unknown:
        break;
    }
    return {};
}
