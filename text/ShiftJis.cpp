#include "text/ShiftJis.h"

#include "text/Unicode.h"

#include <vector>

bool isShiftJisLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

namespace {

bool isLeadByte(unsigned char b)
{
    return isShiftJisLeadByte(b);
}

bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// ASCII and the half-width katakana. 0x80, 0xA0 and 0xFD-0xFF are refused
// although some conversions accept them, so that both platforms agree.
bool isSingleByte(unsigned char b)
{
    return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

// Walks single-byte characters and lead + trail pairs; `pairAllowed` has the
// last word on each pair.
template <class PairCheck>
bool walkShiftJis(std::string_view bytes, PairCheck pairAllowed)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (isSingleByte(b))
            continue;
        if (!isLeadByte(b) || i + 1 == bytes.size())
            return false;
        const auto trail = static_cast<unsigned char>(bytes[i + 1]);
        if (!isTrailByte(trail) || !pairAllowed(b, trail))
            return false;
        ++i;
    }
    return true;
}

// The system's answer for each of the eleven thousand pairs, asked once:
// a save checks every character of every text, and code page 932 knows no
// state between characters.
bool isAssignedPair(unsigned char lead, unsigned char trail)
{
    static const std::vector<bool> assigned = [] {
        std::vector<bool> table(0x10000, false);
        for (int first = 0x81; first <= 0xFC; ++first) {
            for (int second = 0x40; second <= 0xFC; ++second) {
                if (!isLeadByte(first) || !isTrailByte(second))
                    continue;
                const char pair[2] = {static_cast<char>(first), static_cast<char>(second)};
                table[first << 8 | second] = isAssignedInCodePage932(std::string_view(pair, 2));
            }
        }
        return table;
    }();
    return assigned[lead << 8 | trail];
}

} // namespace

bool isAscii(std::string_view bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool hasShiftJisStructure(std::string_view bytes)
{
    return walkShiftJis(bytes, [](unsigned char, unsigned char) { return true; });
}

bool isValidShiftJis(std::string_view bytes)
{
    return isAscii(bytes) || walkShiftJis(bytes, isAssignedPair);
}

std::size_t lengthOfWholeCharacters(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t length = isLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
        if (i + length > bytes.size())
            break;
        i += length;
    }
    return i;
}

std::optional<char32_t> codePage932FormOf(char32_t c)
{
    switch (c) {
    case 0x301C: return 0xFF5E; // WAVE DASH: FULLWIDTH TILDE
    case 0x2016: return 0x2225; // DOUBLE VERTICAL LINE: PARALLEL TO
    case 0x2212: return 0xFF0D; // MINUS SIGN: FULLWIDTH HYPHEN-MINUS
    case 0x00A2: return 0xFFE0; // CENT SIGN
    case 0x00A3: return 0xFFE1; // POUND SIGN
    case 0x00AC: return 0xFFE2; // NOT SIGN
    case 0x2014: return 0x2015; // EM DASH: HORIZONTAL BAR
    // YEN SIGN and OVERLINE would become "\" and "~"; Windows writes U+0080
    // and four private characters as single bytes no text here may hold.
    case 0x00A5:
    case 0x203E:
    case 0x0080:
    case 0xF8F0:
    case 0xF8F1:
    case 0xF8F2:
    case 0xF8F3: return std::nullopt;
    default: return c <= 0xFFFF ? std::optional(c) : std::nullopt;
    }
}

std::optional<std::string> encodeShiftJis(std::u32string_view codePoints)
{
    std::u32string forms(codePoints);
    for (char32_t& c : forms) {
        const std::optional<char32_t> form = codePage932FormOf(c);
        if (!form)
            return std::nullopt;
        c = *form;
    }
    return encodeShiftJisBySystem(forms);
}

namespace {

// Whether UTF-8 text holds a character whose form differs from itself
// (codePage932FormOf). Most texts hold none: they are scanned, not copied.
bool mayNeedForms(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();) {
        const std::optional<char32_t> c = nextCodePoint(utf8, i);
        if (!c)
            return false;
        if (*c >= 0x80 && codePage932FormOf(*c) != *c)
            return true;
    }
    return false;
}

} // namespace

std::optional<std::string> utf8InCodePage932Forms(std::string_view utf8)
{
    if (!mayNeedForms(utf8))
        return std::nullopt;
    std::optional<std::u32string> codePoints = decodeUtf8(utf8);
    if (!codePoints)
        return std::nullopt;
    bool changed = false;
    for (char32_t& c : *codePoints) {
        const std::optional<char32_t> form = codePage932FormOf(c);
        const char32_t taken = form ? *form : U'?';
        changed = changed || taken != c;
        c = taken;
    }
    return changed ? std::optional(encodeUtf8(*codePoints)) : std::nullopt;
}
