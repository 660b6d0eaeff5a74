// Shift-JIS (code page 932) checks shared by both platforms.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// True when no byte has its high bit set: the same text in every code page.
bool isAscii(std::string_view bytes);

// The first byte of a double-byte character.
bool isShiftJisLeadByte(unsigned char byte);

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

// The character that conversions to code page 932 take in place of `c`, so
// that both platforms give the same bytes: `c` itself; for the JIS forms
// that tables and files made on other systems hold, the character Windows
// shows in their place (U+301C WAVE DASH is taken as U+FF5E, 0x8160);
// nothing for a character refused: U+00A5 YEN SIGN and U+203E OVERLINE,
// which would turn into "\" and "~", U+0080 and the private characters
// U+F8F0-U+F8F3, which Windows writes as single bytes no Shift-JIS text here
// holds, and every character beyond the Basic Multilingual Plane. Where the
// code page holds a character twice, both systems write the same code (the
// IBM rows rather than the NEC-selected ones).
std::optional<char32_t> codePage932FormOf(char32_t c);

// UTF-8 text with every character in that form, a refused one as "?", for
// the lossy conversions of a load; nothing when no character changes.
std::optional<std::string> utf8InCodePage932Forms(std::string_view utf8);

// Strict encoding of code points in code page 932, through the forms
// above: nothing when one has no code there.
std::optional<std::string> encodeShiftJis(std::u32string_view codePoints);

// The same for characters of the Basic Multilingual Plane that are no JIS
// form, through the system's own table. Platform code.
std::optional<std::string> encodeShiftJisBySystem(std::u32string_view codePoints);
