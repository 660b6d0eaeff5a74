#include "text/ShiftJisToUtf8.h"

#include "text/ShiftJis.h"
#include "text/Unicode.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

// A character as a code point and as UTF-8 bytes (at most three: code page
// 932 holds only characters of the Basic Multilingual Plane).
struct Character {
    enum : unsigned char { kUnknown = 0, kNoCharacter = 0xFF };
    unsigned char length = kUnknown;
    char bytes[3] = {};
    char32_t codePoint = 0;
};

// Indexed by the single byte, or by lead byte * 256 + trail byte.
using CharacterTable = std::array<Character, 0x10000>;

CharacterTable& characterTable()
{
    thread_local CharacterTable table;
    return table;
}

// Each character is looked up once in the thread's life.
const Character& characterFirstSeen(CharacterTable& table, std::string_view bytes, std::size_t index)
{
    Character& character = table[index];
    const std::optional<std::u32string> decoded = decodeShiftJis(bytes);
    const std::string utf8 = decoded && decoded->size() == 1 ? encodeUtf8(*decoded) : std::string();
    if (utf8.empty() || utf8.size() > sizeof character.bytes) {
        character.length = Character::kNoCharacter;
        return character;
    }
    character.length = static_cast<unsigned char>(utf8.size());
    utf8.copy(character.bytes, utf8.size());
    character.codePoint = decoded->front();
    return character;
}

// Calls `ascii` with each run of ASCII and `other` with each other
// character; false at the first bytes that are no code page 932 text.
template <class Ascii, class Other>
bool walkCharacters(std::string_view shiftJis, Ascii ascii, Other other)
{
    CharacterTable& table = characterTable();
    std::size_t i = 0;
    while (i < shiftJis.size()) {
        // Runs of ASCII, the bulk of markup, are taken whole.
        const std::size_t start = i;
        while (i < shiftJis.size() && static_cast<unsigned char>(shiftJis[i]) < 0x80)
            ++i;
        if (i > start)
            ascii(shiftJis.substr(start, i - start));
        if (i == shiftJis.size())
            break;
        const auto lead = static_cast<unsigned char>(shiftJis[i]);
        const std::size_t length = isShiftJisLeadByte(lead) ? 2 : 1;
        if (i + length > shiftJis.size())
            return false;
        const std::size_t index =
            length == 1 ? lead : static_cast<std::size_t>(lead) << 8 | static_cast<unsigned char>(shiftJis[i + 1]);
        const Character& known = table[index];
        const Character& character =
            known.length != Character::kUnknown ? known : characterFirstSeen(table, shiftJis.substr(i, length), index);
        if (character.length == Character::kNoCharacter)
            return false;
        other(character);
        i += length;
    }
    return true;
}

} // namespace

bool appendShiftJisAsUtf8(std::string_view shiftJis, std::string& out)
{
    // Characters are gathered here and appended a batch at a time: one call
    // for each character costs more than its conversion.
    char batch[1024];
    std::size_t filled = 0;
    const auto flush = [&] {
        out.append(batch, filled);
        filled = 0;
    };
    const bool read = walkCharacters(
        shiftJis,
        [&](std::string_view run) {
            flush();
            out += run;
        },
        [&](const Character& character) {
            if (filled + sizeof character.bytes > sizeof batch)
                flush();
            std::copy_n(character.bytes, sizeof character.bytes, batch + filled);
            filled += character.length;
        });
    flush();
    return read;
}

bool appendShiftJisAsCodePoints(std::string_view shiftJis, std::u32string& out)
{
    return walkCharacters(
        shiftJis, [&out](std::string_view run) { out.append(run.begin(), run.end()); },
        [&out](const Character& character) { out += character.codePoint; });
}

std::optional<std::u32string> decodedText(std::string_view shiftJis)
{
    std::u32string codePoints;
    codePoints.reserve(shiftJis.size());
    if (!appendShiftJisAsCodePoints(shiftJis, codePoints))
        return std::nullopt;
    return codePoints;
}

std::u32string codePointsOf(std::string_view shiftJis)
{
    if (std::optional<std::u32string> decoded = decodedText(shiftJis))
        return std::move(*decoded);
    std::u32string codePoints;
    for (char c : shiftJis)
        codePoints += static_cast<char32_t>(static_cast<unsigned char>(c));
    return codePoints;
}
