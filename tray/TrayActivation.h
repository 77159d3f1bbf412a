#pragma once

#include <QList>
#include <QSystemTrayIcon>
#include <cstdint>

/// How the desktop's notification area talks to the program.
enum class TrayProtocol : std::uint8_t
{
    XEmbed,             // the icon is a window embedded in the panel; double clicks arrive
    StatusNotifierItem, // the icon lives on D-Bus; the panel never reports a double click
};

/// The activations one report from the panel stands for. Where the panel never reports double
/// clicks, its primary activation also counts as a double click so that "restore on double
/// click" works on every desktop.
[[nodiscard]] QList<QSystemTrayIcon::ActivationReason>
activationsFor(QSystemTrayIcon::ActivationReason reason, TrayProtocol protocol);
