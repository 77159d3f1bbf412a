#pragma once

#include <QIcon>

/// The program's own icon, a bell, at the usual panel and window sizes: the windows' icon, and
/// the notification area's when no other icon is at hand.
[[nodiscard]] QIcon programIcon();

/// The About box's window icon, an alarm clock, so that box stands apart from the main window.
[[nodiscard]] QIcon aboutIcon();
