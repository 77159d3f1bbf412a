#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text rules shared by the initialisation-file reader and writer. All texts are UTF-8 bytes;
// only ASCII letters fold case and only spaces and tabs count as blanks.
namespace profile {

/// Longest value a read gives back, in bytes.
inline constexpr std::size_t maxValueBytes = 2047;

enum class LineKind
{
    Other,   // blank line, comment, garbage, or "[" without "]"
    Section, // "[name]": name runs to the last "]" of the line
    Key,     // "key=value": split at the first "="
};

/// What one line of the file means, as views into the line's text.
struct ParsedLine
{
    LineKind kind = LineKind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // raw value of a key line, trimmed but still quoted
};

[[nodiscard]] std::string_view trimBlanks(std::string_view text);

/// Classifies a line (without its line end). Leading blanks are ignored, so "  [A]" is a header
/// and "  ; x" a comment.
[[nodiscard]] ParsedLine parseLine(std::string_view line);

/// Removes one pair of matching enclosing quotes (double or single) from a trimmed value.
[[nodiscard]] std::string_view unquote(std::string_view value);

/// Cuts to at most maxValueBytes, backing off so no UTF-8 character is split.
[[nodiscard]] std::string_view cutValue(std::string_view value);

/// The value a read returns for a key line's raw value, before cutting.
[[nodiscard]] inline std::string_view storedValue(std::string_view rawValue)
{
    return unquote(trimBlanks(rawValue));
}

/// Parses a whole value as a 32-bit integer: optional sign, then decimal digits or "0x"/"0X"
/// and hex digits. Anything else, or a value outside int32, gives nothing.
[[nodiscard]] std::optional<int> parseInt(std::string_view value);

/// True when the text holds a CR or LF.
[[nodiscard]] bool hasLineBreak(std::string_view text);

/// Replaces CR and LF by blanks: a value or name must never start a new line of the file.
[[nodiscard]] std::string singleLine(std::string_view text);

/// True when a cleaned key name would not read back as a key: it holds "=" or starts with
/// "[" or ";".
[[nodiscard]] bool isUnwritableKey(std::string_view cleanKey);

/// Whether a value on one line is written in double quotes after "=", so that a read gives it
/// back exactly: when blanks at either end or a pair of enclosing quotes would otherwise be lost.
[[nodiscard]] bool needsQuotes(std::string_view sanitisedValue);

} // namespace profile
