// Texts as a reader compares them. The review tells two texts apart only
// where a reader can: full-width and half-width forms of the same letter,
// digit, sign or katakana are one (Unicode compatibility folding, as NFKC
// folds them), a half-width katakana and its voiced mark are one character
// (ｶﾞ is ガ), and spaces or line breaks around a text are no part of it.
// Letter case is kept: "abc" and "ABC" look different.
#pragma once

#include "text/ShiftJisToUtf8.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Half-width space, full-width space, tab, carriage return, line feed.
bool isSpaceOrBreak(char32_t c);

// The text without the spaces and line breaks around it.
std::u32string_view trimmedText(std::u32string_view text);

// The text folded as above, surrounding spaces and line breaks dropped.
std::u32string foldedForComparison(std::u32string_view text);

// The widths folded and half-width voiced marks joined to their kana, and
// nothing dropped: a part of a text folds to its part of the folded text,
// when it starts at a character.
std::u32string widthsFolded(std::u32string_view text);

// One code point's full-width or half-width form folded (ｶ to カ, ﾞ to the
// combining voiced mark); any other code point as it is.
char32_t widthFolded(char32_t c);
std::u32string foldedText(std::string_view shiftJis);

// True when only spaces and line breaks are left: the player sees nothing.
bool isBlankText(std::string_view shiftJis);

// The combining marks: those of Latin letters, and the kana voiced marks a
// half-width voiced mark becomes when no kana before it takes it (as NFKC).
bool isCombiningMark(char32_t c);

// The characters a reader counts, as parts of the text: each code point
// with the combining marks that follow it.
std::vector<std::u32string_view> charactersOf(std::u32string_view folded);
