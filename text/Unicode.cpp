#include "text/Unicode.h"

#include <cstdio>

namespace {

bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// The length of a sequence by its first byte, and the bits that byte holds.
bool sequenceStart(unsigned char lead, std::size_t& length, char32_t& bits)
{
    if (lead < 0x80) {
        length = 1;
        bits = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        bits = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        bits = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        bits = lead & 0x07;
    } else {
        return false;
    }
    return true;
}

} // namespace

std::optional<char32_t> nextCodePoint(std::string_view utf8, std::size_t& pos)
{
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    std::size_t length = 0;
    char32_t c = 0;
    if (pos >= utf8.size() || !sequenceStart(static_cast<unsigned char>(utf8[pos]), length, c) ||
        utf8.size() - pos < length)
        return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[pos + k]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        c = c << 6 | (next & 0x3F);
    }
    if (c < kSmallest[length] || c > 0x10FFFF || isSurrogate(c))
        return std::nullopt;
    pos += length;
    return c;
}

std::optional<std::u32string> decodeUtf8(std::string_view utf8)
{
    std::u32string codePoints;
    codePoints.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::optional<char32_t> c = nextCodePoint(utf8, i);
        if (!c)
            return std::nullopt;
        codePoints += *c;
    }
    return codePoints;
}

bool isValidUtf8(std::string_view bytes)
{
    return decodeUtf8(bytes).has_value();
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string encodeUtf8(std::u32string_view codePoints)
{
    std::string utf8;
    utf8.reserve(codePoints.size());
    for (char32_t c : codePoints)
        appendUtf8(utf8, c);
    return utf8;
}

std::optional<std::string> utf16ToUtf8(std::string_view bytes, bool bigEndian, char loneSurrogate)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    const auto unit = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? first << 8 | second : second << 8 | first);
    };
    std::string out;
    out.reserve(bytes.size() / 2 * 3);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 2 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (isSurrogate(c)) {
            out += loneSurrogate;
            continue;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string jsonQuotedUtf8(std::string_view utf8)
{
    std::string quoted = "\"";
    for (const char c : utf8) {
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                quoted += escaped;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}
