#include "zibconv/anki/AnkiText.h"

#include "review/TextFolding.h"
#include "text/ShiftJisToUtf8.h"
#include "text/Unicode.h"
#include "zibconv/anki/Sha1.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Every character of code page 932 whose NFC is another (Unicode 15's
// singleton decompositions), in code point order.
constexpr std::pair<char32_t, char32_t> kSingletons[] = {
    {0x212B, 0x00C5}, {0xF929, 0x6717}, {0xF9DC, 0x9686}, {0xFA10, 0x585A}, {0xFA12, 0x6674}, {0xFA15, 0x51DE},
    {0xFA16, 0x732A}, {0xFA17, 0x76CA}, {0xFA18, 0x793C}, {0xFA19, 0x795E}, {0xFA1A, 0x7965}, {0xFA1B, 0x798F},
    {0xFA1C, 0x9756}, {0xFA1D, 0x7CBE}, {0xFA1E, 0x7FBD}, {0xFA20, 0x8612}, {0xFA22, 0x8AF8}, {0xFA25, 0x9038},
    {0xFA26, 0x90FD}, {0xFA2A, 0x98EF}, {0xFA2B, 0x98FC}, {0xFA2C, 0x9928}, {0xFA2D, 0x9DB4},
};

constexpr std::string_view kBase91 =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#$%&()*+,-./:;<=>?@[]^_`{|}~";

// The references htmlOfUtf8 writes, read back as Anki reads them.
constexpr std::pair<std::string_view, char> kReferences[] = {
    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#123;", '{'}, {"&#125;", '}'}};

bool mayHoldSingleton(std::string_view utf8)
{
    for (std::size_t at = utf8.find_first_of("\xE2\xEF"); at != std::string_view::npos && at + 1 < utf8.size();
         at = utf8.find_first_of("\xE2\xEF", at + 1)) {
        const unsigned char next = static_cast<unsigned char>(utf8[at + 1]);
        if (utf8[at] == '\xEF' ? next >= 0xA4 && next <= 0xAB : utf8.substr(at, 3) == "\xE2\x84\xAB")
            return true;
    }
    return false;
}

} // namespace

std::u32string composedOfCodePage932(std::u32string text)
{
    for (char32_t& c : text) {
        if (c < kSingletons[0].first)
            continue;
        const auto found = std::lower_bound(std::begin(kSingletons), std::end(kSingletons), c,
                                            [](const auto& pair, char32_t key) { return pair.first < key; });
        if (found != std::end(kSingletons) && found->first == c)
            c = found->second;
    }
    return text;
}

std::string htmlOfUtf8(std::string_view utf8)
{
    std::string html;
    html.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
        case '&': html += "&amp;"; break;
        case '<': html += "&lt;"; break;
        case '>': html += "&gt;"; break;
        case '"': html += "&quot;"; break;
        // Braces as references: a reader whose templates read fields again
        // (mnemosyne's) would take "{{x}}" in a text for a field.
        case '{': html += "&#123;"; break;
        case '}': html += "&#125;"; break;
        case '\r':
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            [[fallthrough]];
        case '\n': html += "<br>"; break;
        default: html += c;
        }
    }
    return html;
}

std::optional<std::string> fieldHtml(std::string_view shiftJis)
{
    if (isBlankText(shiftJis))
        return std::string();
    std::string utf8;
    if (!appendShiftJisAsUtf8(shiftJis, utf8))
        return std::nullopt;
    // Every singleton is U+212B (E2 84 AB) or in U+F900-U+FAFF (EF A4-AB):
    // a text without such bytes is its own NFC, and most texts are.
    if (mayHoldSingleton(utf8))
        utf8 = encodeUtf8(composedOfCodePage932(*decodeUtf8(utf8)));
    return htmlOfUtf8(utf8);
}

std::int64_t fieldChecksum(std::string_view html)
{
    std::string text;
    text.reserve(html.size());
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            const std::size_t end = html.find('>', i);
            if (end != std::string_view::npos) {
                i = end;
                continue;
            }
        }
        if (html[i] == '&') {
            const auto reference = std::find_if(std::begin(kReferences), std::end(kReferences),
                                                [&](const auto& r) { return html.substr(i).starts_with(r.first); });
            if (reference != std::end(kReferences)) {
                text += reference->second;
                i += reference->first.size() - 1;
                continue;
            }
        }
        text += html[i];
    }
    const std::array<std::uint8_t, 20> digest = sha1(text);
    return std::int64_t{digest[0]} << 24 | std::int64_t{digest[1]} << 16 | std::int64_t{digest[2]} << 8 |
           std::int64_t{digest[3]};
}

std::string base91(std::uint64_t value)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), kBase91[value % kBase91.size()]);
        value /= kBase91.size();
    } while (value != 0);
    return digits;
}

std::uint64_t hashOf(std::string_view key)
{
    const std::array<std::uint8_t, 20> digest = sha1(key);
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i)
        value = value << 8 | digest[i];
    return value;
}
