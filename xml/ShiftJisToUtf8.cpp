#include "xml/ShiftJisToUtf8.h"

#include "xml/ShiftJis.h"
#include "xml/Unicode.h"

#include <array>
#include <optional>

namespace {

// A character's UTF-8 bytes (at most three: code page 932 holds only
// characters of the Basic Multilingual Plane).
struct Utf8Code {
    enum : unsigned char { kUnknown = 0, kNoCharacter = 0xFF };
    unsigned char length = kUnknown;
    char bytes[3] = {};
};

// Indexed by the single byte, or by lead byte * 256 + trail byte.
const Utf8Code& codeOf(std::string_view character, std::size_t index)
{
    thread_local std::array<Utf8Code, 0x10000> table;
    Utf8Code& code = table[index];
    if (code.length != Utf8Code::kUnknown)
        return code;
    const std::optional<std::u32string> decoded = decodeShiftJis(character);
    const std::string utf8 = decoded && decoded->size() == 1 ? encodeUtf8(*decoded) : std::string();
    if (utf8.empty() || utf8.size() > sizeof code.bytes) {
        code.length = Utf8Code::kNoCharacter;
        return code;
    }
    code.length = static_cast<unsigned char>(utf8.size());
    utf8.copy(code.bytes, utf8.size());
    return code;
}

} // namespace

bool appendShiftJisAsUtf8(std::string_view shiftJis, std::string& out)
{
    std::size_t i = 0;
    while (i < shiftJis.size()) {
        // Runs of ASCII, the bulk of markup, are copied whole.
        const std::size_t start = i;
        while (i < shiftJis.size() && static_cast<unsigned char>(shiftJis[i]) < 0x80)
            ++i;
        out.append(shiftJis, start, i - start);
        if (i == shiftJis.size())
            break;
        const auto lead = static_cast<unsigned char>(shiftJis[i]);
        const std::size_t length = isShiftJisLeadByte(lead) ? 2 : 1;
        if (i + length > shiftJis.size())
            return false;
        const std::size_t index =
            length == 1 ? lead : static_cast<std::size_t>(lead) << 8 | static_cast<unsigned char>(shiftJis[i + 1]);
        const Utf8Code& code = codeOf(shiftJis.substr(i, length), index);
        if (code.length == Utf8Code::kNoCharacter)
            return false;
        out.append(code.bytes, code.length);
        i += length;
    }
    return true;
}
