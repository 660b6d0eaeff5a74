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

// Strict encoding of code points in code page 932: nothing when one has no
// code there. Both platforms give the same bytes: where the code page holds
// a character twice, the code Windows writes (the IBM rows rather than the
// NEC-selected ones); the JIS forms that tables made on other systems hold
// become the characters Windows shows in their place (U+301C WAVE DASH is
// 0x8160, as U+FF5E is), and the JIS X 0201 forms U+00A5 YEN SIGN and
// U+203E OVERLINE, which would turn into "\" and "~", are refused, as are
// the characters Windows writes as the single bytes the check above
// refuses.
std::optional<std::string> encodeShiftJis(std::u32string_view codePoints);

// The same for characters of the Basic Multilingual Plane that are no JIS
// form, through the system's own table. Platform code.
std::optional<std::string> encodeShiftJisBySystem(std::u32string_view codePoints);
