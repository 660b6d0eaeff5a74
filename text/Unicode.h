// UTF-8 and UTF-16 to and from code points, strictly: overlong forms,
// surrogates in UTF-8, unpaired surrogates in UTF-16 and values beyond
// U+10FFFF are no text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The code point that starts at `pos`, with `pos` moved past it; nothing,
// and `pos` as it was, for a sequence that is no UTF-8.
std::optional<char32_t> nextCodePoint(std::string_view utf8, std::size_t& pos);

std::optional<std::u32string> decodeUtf8(std::string_view utf8);
bool isValidUtf8(std::string_view bytes);
std::string encodeUtf8(std::u32string_view codePoints);
// Appends the UTF-8 of one code point (at most U+10FFFF).
void appendUtf8(std::string& out, char32_t c);

// UTF-16 in bytes of either order as UTF-8, a surrogate without its pair
// as `loneSurrogate`; nothing for an odd number of bytes.
std::optional<std::string> utf16ToUtf8(std::string_view bytes, bool bigEndian, char loneSurrogate);

// UTF-8 as a JSON string, quotes included: the quote, the backslash and
// every control character escaped, the rest as it is.
std::string jsonQuotedUtf8(std::string_view utf8);
