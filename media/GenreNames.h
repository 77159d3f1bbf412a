#pragma once

#include <array>
#include <string_view>

/// Highest genre index with a name; a tag's genre byte above it has none.
inline constexpr int MaxGenreIndex = 147;

/// The ID3v1 genre names (0..79) followed by the Winamp extensions (80..147).
extern const std::array<std::string_view, MaxGenreIndex + 1> GenreNames;
