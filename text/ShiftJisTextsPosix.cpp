#include "text/ShiftJisTexts.h"

#include "text/ShiftJis.h"
#include "text/Unicode.h"

#include <algorithm>

namespace {

// Each character's code depends on nothing else: kept for the thread's life.
using ShortCode = ShiftJisTexts::ShortCode;

std::vector<ShortCode>& shortCodes()
{
    thread_local std::vector<ShortCode> codes(0x10000, ShortCode{ShortCode::kUnknown});
    return codes;
}

} // namespace

ShiftJisTexts::ShiftJisTexts() : codes(shortCodes()) {}

std::string ShiftJisTexts::operator()(std::string_view utf8)
{
    // No character of the Basic Multilingual Plane takes more bytes in
    // code page 932 than in UTF-8; any other takes the long way. The
    // text is made in `scratch` and copied out at its exact size.
    if (scratch.size() < utf8.size())
        scratch.resize(utf8.size());
    char* next = scratch.data();
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t start = i;
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) < 0x80)
            ++i;
        next = std::copy(utf8.data() + start, utf8.data() + i, next);
        if (i == utf8.size())
            break;
        const std::size_t characterStart = i;
        const std::optional<char32_t> c = threeByteCharacter(utf8, i);
        if (!c) // libxml2 hands out UTF-8 only; this is what it was before
            return converted(utf8);
        const std::string_view character = utf8.substr(characterStart, i - characterStart);
        const ShortCode code = *c <= 0xFFFF ? shortCodeOf(*c, character) : ShortCode{};
        if (code.length == ShortCode::kLong) {
            out.append(scratch.data(), next);
            out += converted(character);
            next = scratch.data();
            continue;
        }
        next = std::copy_n(code.bytes, code.length, next);
    }
    out.append(scratch.data(), next);
    return out;
}

// Japanese text is mostly characters of three bytes: those are read
// here, any other by the general reader.
std::optional<char32_t> ShiftJisTexts::threeByteCharacter(std::string_view utf8, std::size_t& i)
{
    if (utf8.size() - i >= 3) {
        const auto b0 = static_cast<unsigned char>(utf8[i]), b1 = static_cast<unsigned char>(utf8[i + 1]),
                   b2 = static_cast<unsigned char>(utf8[i + 2]);
        const char32_t c = (b0 & 0x0Fu) << 12 | (b1 & 0x3Fu) << 6 | (b2 & 0x3Fu);
        if ((b0 & 0xF0) == 0xE0 && (b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
            i += 3;
            return c;
        }
    }
    return nextCodePoint(utf8, i);
}

ShiftJisTexts::ShortCode ShiftJisTexts::shortCodeOf(char32_t c, std::string_view character)
{
    ShortCode& code = codes[c];
    if (code.length == ShortCode::kUnknown) {
        const std::string bytes = converted(character);
        code.length = ShortCode::kLong;
        if (bytes.size() <= 2 && bytes.size() <= character.size()) {
            code.length = static_cast<unsigned char>(bytes.size());
            bytes.copy(code.bytes, bytes.size());
        }
    }
    return code;
}

// One character, or what is not one, as the lossy conversion takes it.
std::string ShiftJisTexts::converted(std::string_view utf8)
{
    if (const std::optional<std::string> forms = utf8InCodePage932Forms(utf8))
        return utf8ToShiftJis.convertFromUtf8Lossy(*forms);
    return utf8ToShiftJis.convertFromUtf8Lossy(utf8);
}
