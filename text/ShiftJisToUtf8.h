// Code page 932 text to UTF-8 or code points at the speed of a table look-up: each
// character is decoded once by decodeShiftJis and remembered, so the whole
// of a large file or table costs one pass. The same bytes as decodeShiftJis
// and encodeUtf8 give, by construction.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Appends the UTF-8 form of the bytes; false when they are not code page
// 932 text (a part may have been appended).
bool appendShiftJisAsUtf8(std::string_view shiftJis, std::string& out);

// The same as code points.
bool appendShiftJisAsCodePoints(std::string_view shiftJis, std::u32string& out);

// The code points of Shift-JIS text; nothing when it is none.
std::optional<std::u32string> decodedText(std::string_view shiftJis);

// The code points of Shift-JIS text; bytes that are no code page 932 text
// stand for themselves, one code point each, so that every text compares.
std::u32string codePointsOf(std::string_view shiftJis);
