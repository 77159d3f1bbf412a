#pragma once

#include <QColor>

namespace ThemeColours {

/// The colour for text on background: the program's own colour on a light background, its
/// lighter variant on a dark one (a dark desktop theme), where the dark colours would not read.
[[nodiscard]] inline QColor on(const QColor& background, const QColor& onLight,
                               const QColor& onDark)
{
    return background.lightness() < 128 ? onDark : onLight;
}

} // namespace ThemeColours
