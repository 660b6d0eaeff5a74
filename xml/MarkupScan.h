// Counts in the markup whose cost to a parser grows faster than the file,
// found by one pass over the text before it is parsed, so that both
// platforms' readers refuse the same files. Works on UTF-8 and UTF-16
// text alike (char or wchar_t).
#pragma once

#include "xml/XMLLimits.h"
#include "xml/XMLProlog.h"

#include <string_view>

// Where a start tag ends; kTooManyAttributes when it holds more than the
// limit. An attribute is counted at its '=' outside quoted values.
inline constexpr std::size_t kTooManyAttributes = static_cast<std::size_t>(-2);

template <class Char>
std::size_t endOfStartTag(std::basic_string_view<Char> text, std::size_t pos)
{
    std::size_t attributes = 0;
    Char quote = 0;
    for (; pos < text.size(); ++pos) {
        const Char c = text[pos];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == Char('"') || c == Char('\'')) {
            quote = c;
        } else if (c == Char('=')) {
            if (++attributes > kMaxAttributesPerElement)
                return kTooManyAttributes;
        } else if (c == Char('>')) {
            return pos;
        }
    }
    return std::basic_string_view<Char>::npos;
}

// Whether an element's start tag holds more than kMaxAttributesPerElement
// attributes (namespace declarations included). Parsers check each new
// attribute against all earlier ones of its element, so one tag with a
// quarter of a million attributes takes minutes.
template <class Char>
bool hasTooManyAttributes(std::basic_string_view<Char> text)
{
    std::size_t pos = 0;
    while ((pos = text.find(Char('<'), pos)) != std::basic_string_view<Char>::npos) {
        ++pos;
        // What may hold a stray '=' or '>' is passed over whole.
        if (startsWithAscii(text, pos, "!--"))
            pos = findAscii(text, pos + 3, "-->");
        else if (startsWithAscii(text, pos, "![CDATA["))
            pos = findAscii(text, pos + 8, "]]>");
        else if (startsWithAscii(text, pos, "?"))
            pos = findAscii(text, pos + 1, "?>");
        else if (startsWithAscii(text, pos, "!") || startsWithAscii(text, pos, "/"))
            continue;
        else
            pos = endOfStartTag(text, pos);
        if (pos == std::basic_string_view<Char>::npos)
            return false;
        if (pos == kTooManyAttributes)
            return true;
    }
    return false;
}
