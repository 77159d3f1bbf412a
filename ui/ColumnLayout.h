#pragma once

#include <array>

namespace ColumnLayout {

using Widths = std::array<int, 5>;

/// Column widths for a list of the given width: three fixed columns, Title 30 % and Description
/// 70 % of the rest, Description giving up 25 pixels for the scroll bar. Integer division
/// truncates toward zero and may give zero or negative widths for a very narrow list.
[[nodiscard]] constexpr Widths forListWidth(int w)
{
    return {70, 55, (30 * w - 5400) / 100, (70 * w - 12600) / 100 - 25, 55};
}

} // namespace ColumnLayout
