// Code page 932 through the system's own tables gives the same answers on
// both platforms: which characters it holds, and which code it writes for
// a character it holds twice.
#include "text/ShiftJis.h"
#include "text/ShiftJisToUtf8.h"
#include "text/Unicode.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// FNV-1a: one number for a long list, so that both platforms' lists can
// be compared with the same recorded value.
struct Digest {
    std::uint64_t value = 14695981039346656037ull;
    void add(std::uint32_t number)
    {
        for (int i = 0; i < 4; ++i) {
            value ^= (number >> (8 * i)) & 0xFF;
            value *= 1099511628211ull;
        }
    }
};

// Every code of the code page read and written again: where it holds a
// character twice, the other code comes back (NEC-selected 0xED40 as IBM
// 0xFA5C, NEC row 13's 0x8790 as 0x81E0, ...).
TEST(CodePage932, EveryCodeWrittenAgainGivesTheCodeWindowsWrites)
{
    Digest changed;
    int assigned = 0, changes = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const std::optional<std::u32string> character = decodeShiftJis(pair);
            if (!character)
                continue;
            ++assigned;
            const std::optional<std::string> again = encodeShiftJis(*character);
            ASSERT_TRUE(again) << std::hex << lead << " " << trail;
            if (*again != pair) {
                ++changes;
                changed.add(static_cast<std::uint32_t>(lead << 8 | trail));
                changed.add(static_cast<std::uint32_t>(static_cast<unsigned char>((*again)[0]) << 8 |
                                                       static_cast<unsigned char>((*again)[1])));
            }
        }
    }
    EXPECT_EQ(assigned, 17605);
    EXPECT_EQ(changes, 398);
    EXPECT_EQ(changed.value, 10396952776827187238ull) << "recorded mapping of the duplicates";
    EXPECT_EQ(encodeShiftJis(U"\u7E8A"), "\xFA\x5C");
    EXPECT_EQ(encodeShiftJis(U"\u2252"), "\x81\xE0");
}

// Which characters of the Basic Multilingual Plane the code page holds,
// and the bytes of each.
TEST(CodePage932, TheSameCharactersAreHeldOnBothPlatforms)
{
    Digest held;
    int count = 0;
    for (char32_t c = 1; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const std::optional<std::string> bytes = encodeShiftJis(std::u32string(1, c));
        if (!bytes)
            continue;
        ++count;
        held.add(static_cast<std::uint32_t>(c));
        for (char b : *bytes)
            held.add(static_cast<unsigned char>(b));
    }
    EXPECT_EQ(count, 9403);
    EXPECT_EQ(held.value, 1698403171270210364ull) << "recorded characters and their codes";
    EXPECT_FALSE(encodeShiftJis(U"\u00A5"));
    EXPECT_FALSE(encodeShiftJis(U"\u203E"));
    EXPECT_FALSE(encodeShiftJis(U"\U0001F600"));
}

} // namespace

namespace {

// The table conversions give what the system's conversion gives, for
// every single byte and every pair, and refuse what it refuses.
TEST(CodePage932, TableConversionsAgreeWithTheSystemOnEveryCode)
{
    for (unsigned code = 1; code <= 0xFFFF; ++code) {
        std::string bytes;
        if (code > 0xFF)
            bytes += static_cast<char>(code >> 8);
        bytes += static_cast<char>(code & 0xFF);
        const std::optional<std::u32string> system = decodeShiftJis(bytes);
        std::string utf8;
        std::u32string codePoints;
        const bool toUtf8 = appendShiftJisAsUtf8(bytes, utf8);
        const bool toCodePoints = appendShiftJisAsCodePoints(bytes, codePoints);
        ASSERT_EQ(toUtf8, system.has_value()) << std::hex << code;
        ASSERT_EQ(toCodePoints, system.has_value()) << std::hex << code;
        if (system) {
            ASSERT_EQ(utf8, encodeUtf8(*system)) << std::hex << code;
            ASSERT_EQ(codePoints, *system) << std::hex << code;
        }
    }
    std::string utf8;
    EXPECT_FALSE(appendShiftJisAsUtf8("ab\x93", utf8)); // a lead byte without its trail
    utf8.clear();
    EXPECT_TRUE(appendShiftJisAsUtf8("a\x93\xfa\r\n\xb1z", utf8));
    EXPECT_EQ(utf8, "a\xE6\x97\xA5\r\n\xEF\xBD\xB1z");
}

} // namespace
