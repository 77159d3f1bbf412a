#pragma once

#include "tray/TrayTypes.h"

#include <QList>
#include <QSystemTrayIcon>

/// How the desktop's notification area talks to the program.
enum class TrayProtocol : std::uint8_t
{
    XEmbed,             // the icon is a window embedded in the panel; double clicks arrive
    StatusNotifierItem, // the icon lives on D-Bus; the panel never reports a double click
};

/// The mouse messages one activation of the icon stands for. A click arrives as a press and a
/// release; where the panel never reports double clicks, its primary activation also counts
/// as a left double click so that "restore on double click" works on every desktop.
[[nodiscard]] QList<MouseMessage> mouseMessagesFor(QSystemTrayIcon::ActivationReason reason,
                                                   TrayProtocol protocol);
