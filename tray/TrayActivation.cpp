#include "tray/TrayActivation.h"

QList<QSystemTrayIcon::ActivationReason> activationsFor(QSystemTrayIcon::ActivationReason reason,
                                                        TrayProtocol protocol)
{
    if (reason == QSystemTrayIcon::Trigger && protocol == TrayProtocol::StatusNotifierItem)
        return {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick};
    return {reason};
}
