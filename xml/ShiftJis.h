// Shift-JIS (code page 932) checks shared by both platforms.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// True when no byte has its high bit set: the same text in every code page.
bool isAscii(std::string_view bytes);

// True when every byte is a single-byte character of code page 932 or part
// of a lead byte + trail byte pair in the ranges of code page 932. The code
// page's tables still decide whether a pair is assigned.
bool hasShiftJisStructure(std::string_view bytes);

// Whether the system's code page 932 table has every character of bytes
// that have the structure above. Platform code.
bool isAssignedInCodePage932(std::string_view bytes);

// Strict decoding to code points: nothing for bytes that are not code page
// 932 text. Platform code: the system's code-page conversion.
std::optional<std::u32string> decodeShiftJis(std::string_view bytes);

// True when the bytes decode as code page 932 text.
bool isValidShiftJis(std::string_view bytes);

// The length of the longest start of the bytes that does not end inside a
// double-byte character: a text cut at a byte count may end in a lone lead
// byte, which is no Shift-JIS text.
std::size_t lengthOfWholeCharacters(std::string_view bytes);
