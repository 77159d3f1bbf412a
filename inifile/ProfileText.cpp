#include "inifile/ProfileText.h"

#include <cstdint>
#include <limits>

namespace profile {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

} // namespace

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

ParsedLine parseLine(std::string_view line)
{
    const std::string_view text = trimBlanks(line);
    if (text.empty() || text.front() == ';')
        return {};
    if (text.front() == '[') {
        const std::size_t close = text.rfind(']');
        if (close == std::string_view::npos)
            return {};
        return {LineKind::Section, trimBlanks(text.substr(1, close - 1)), {}};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return {};
    return {LineKind::Key, trimBlanks(text.substr(0, equals)), trimBlanks(text.substr(equals + 1))};
}

std::string_view unquote(std::string_view value)
{
    if (value.size() >= 2 && isQuote(value.front()) && value.front() == value.back())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string_view cutValue(std::string_view value)
{
    if (value.size() <= maxValueBytes)
        return value;
    std::size_t end = maxValueBytes;
    if (isContinuationByte(value[end])) {
        // The byte at the cut continues a character: cut before that character's lead byte.
        // A UTF-8 character has at most three continuation bytes; garbage is cut where it is.
        std::size_t lead = end;
        while (lead > 0 && end - lead < 3 && isContinuationByte(value[lead]))
            --lead;
        if (static_cast<unsigned char>(value[lead]) >= 0xC0U)
            end = lead;
    }
    return value.substr(0, end);
}

std::optional<int> parseInt(std::string_view value)
{
    bool negative = false;
    if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    int base = 10;
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        base = 16;
        value.remove_prefix(2);
    }
    if (value.empty())
        return std::nullopt;
    // One more than INT_MAX so that the most negative value fits.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t magnitude = 0;
    for (char c : value) {
        const int digit = digitValue(c);
        if (digit >= base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(result);
}

bool hasLineBreak(std::string_view text)
{
    for (const char c : text)
        if (c == '\r' || c == '\n')
            return true;
    return false;
}

std::string singleLine(std::string_view text)
{
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return line;
}

bool isUnwritableKey(std::string_view cleanKey)
{
    return cleanKey.find('=') != std::string_view::npos ||
           (!cleanKey.empty() && (cleanKey.front() == '[' || cleanKey.front() == ';'));
}

bool needsQuotes(std::string_view sanitisedValue)
{
    const std::string_view v = sanitisedValue;
    return !v.empty() && (isBlank(v.front()) || isBlank(v.back()) || unquote(v).size() != v.size());
}

} // namespace profile
