// Texts of UTF-8 into code page 932 at the speed of a table look-up, for
// the native reader of XML files: libxml2 hands out UTF-8. Through iconv,
// natively only.
#pragma once

#include "text/Iconv.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ShiftJisTexts {
public:
    ShiftJisTexts();

    // In the forms both platforms take (codePage932FormOf), so that the same
    // file gives the same texts on both; a character code page 932 lacks
    // becomes "?". Each character is converted once and remembered: a large
    // set has a million texts of a few thousand characters.
    std::string operator()(std::string_view utf8);

    // A character's code of one or two bytes; kLong for any other
    // conversion (a character outside the plane, or one taken as several).
    struct ShortCode {
        enum : unsigned char { kUnknown = 0, kLong = 3 };
        unsigned char length = kLong;
        char bytes[2] = {};
    };

private:
    static std::optional<char32_t> threeByteCharacter(std::string_view utf8, std::size_t& i);
    ShortCode shortCodeOf(char32_t c, std::string_view character);
    std::string converted(std::string_view utf8);

    Iconv utf8ToShiftJis{"CP932", "UTF-8"};
    std::vector<ShortCode>& codes;
    std::string scratch;
};
