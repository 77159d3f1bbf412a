#pragma once

#include <QIcon>
#include <QPixmap>

/// A bell drawn at the given size in pixels, on a transparent background.
[[nodiscard]] QPixmap drawBellPixmap(int size);

/// The program's own icon (a bell at the usual panel and window sizes), for when no other
/// icon is at hand, so the notification area always shows something.
[[nodiscard]] QIcon makeDefaultIcon();
