#include "review/TextFolding.h"

#include "text/ShiftJis.h"
#include "text/ShiftJisToUtf8.h"

#include <cstddef>

namespace {

constexpr char32_t kIdeographicSpace = 0x3000;
constexpr char kFullWidthSpace[] = "\x81\x40"; // U+3000 in code page 932
constexpr char32_t kCombiningVoiced = 0x3099;
constexpr char32_t kCombiningSemiVoiced = 0x309A;

// Half-width forms U+FF61-U+FF9F and their full-width forms, in order:
// ｡｢｣､･ｦ, the small ｧ-ｯ, ｰ, ｱ-ﾝ, and the two voiced marks as combining marks.
constexpr char32_t kHalfWidthKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, kCombiningVoiced, kCombiningSemiVoiced,
};

} // namespace

char32_t widthFolded(char32_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E) // full-width ASCII
        return c - 0xFF01 + 0x21;
    if (c >= 0xFF61 && c <= 0xFF9F)
        return kHalfWidthKana[c - 0xFF61];
    if (c == kIdeographicSpace)
        return U' ';
    return c;
}

namespace {

// The kana that take a voiced mark: the K, S, T and H rows, whose voiced
// form is the next code point (and the H row's semi-voiced the one after).
bool takesVoicedMark(char32_t kana)
{
    const char32_t c = kana >= 0x30A1 ? kana - 0x60 : kana; // katakana to hiragana
    if (c >= 0x304B && c <= 0x3062) // か to ぢ: every second one
        return (c - 0x304B) % 2 == 0;
    if (c >= 0x3064 && c <= 0x3068) // つ て と
        return (c - 0x3064) % 2 == 0;
    return c >= 0x306F && c <= 0x307B && (c - 0x306F) % 3 == 0; // は ひ ふ へ ほ
}

bool takesSemiVoicedMark(char32_t kana)
{
    const char32_t c = kana >= 0x30A1 ? kana - 0x60 : kana;
    return c >= 0x306F && c <= 0x307B && (c - 0x306F) % 3 == 0;
}

// The precomposed form of a kana and a combining voiced mark; 0 for none.
char32_t composed(char32_t kana, char32_t mark)
{
    if (mark == kCombiningVoiced) {
        if (kana == 0x30A6 || kana == 0x3046)
            return kana == 0x30A6 ? 0x30F4 : 0x3094; // ヴ ゔ
        if (kana == 0x309D || kana == 0x30FD)
            return kana + 1; // ゞ ヾ
        if (kana == 0x30EF || (kana >= 0x30F0 && kana <= 0x30F2))
            return kana + 8; // ヷ ヸ ヹ ヺ
        if ((kana >= 0x304B && kana <= 0x307B) || (kana >= 0x30AB && kana <= 0x30DB))
            return takesVoicedMark(kana) ? kana + 1 : 0;
    }
    if (mark == kCombiningSemiVoiced && ((kana >= 0x306F && kana <= 0x307B) || (kana >= 0x30CF && kana <= 0x30DB)))
        return takesSemiVoicedMark(kana) ? kana + 2 : 0;
    return 0;
}

} // namespace

bool isCombiningMark(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || c == kCombiningVoiced || c == kCombiningSemiVoiced;
}

bool isSpaceOrBreak(char32_t c)
{
    return c == U' ' || c == kIdeographicSpace || c == U'\t' || c == U'\r' || c == U'\n';
}

std::u32string_view trimmedText(std::u32string_view text)
{
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && isSpaceOrBreak(text[first]))
        ++first;
    while (end > first && isSpaceOrBreak(text[end - 1]))
        --end;
    return text.substr(first, end - first);
}

std::u32string foldedForComparison(std::u32string_view text)
{
    return widthsFolded(trimmedText(text));
}

std::u32string widthsFolded(std::u32string_view text)
{
    std::u32string folded;
    folded.reserve(text.size());
    for (const char32_t original : text) {
        const char32_t c = widthFolded(original);
        const char32_t both = folded.empty() ? 0 : composed(folded.back(), c);
        if (both)
            folded.back() = both;
        else
            folded += c;
    }
    return folded;
}

std::u32string foldedText(std::string_view shiftJis)
{
    return foldedForComparison(codePointsOf(shiftJis));
}

bool isBlankText(std::string_view shiftJis)
{
    // By the bytes, without decoding: every text is asked. Stepping over
    // whole spaces only, each step starts at a character.
    for (std::size_t i = 0; i < shiftJis.size(); ++i) {
        const char c = shiftJis[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        if (c != kFullWidthSpace[0] || i + 1 == shiftJis.size() || shiftJis[i + 1] != kFullWidthSpace[1])
            return false;
        ++i;
    }
    return true;
}

std::vector<std::u32string_view> charactersOf(std::u32string_view folded)
{
    std::vector<std::u32string_view> characters;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= folded.size(); ++i) {
        if (i == folded.size() || !isCombiningMark(folded[i])) {
            characters.push_back(folded.substr(start, i - start));
            start = i;
        }
    }
    return characters;
}
