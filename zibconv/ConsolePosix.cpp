#include "zibconv/Console.h"

#include "text/ShiftJis.h"
#include "text/Unicode.h"

#include <cstdio>

namespace {

// Whatever a message holds, the terminal gets UTF-8: a byte that is no
// character of code page 932 shows as "?", as Windows shows it.
std::string terminalText(std::string_view shiftJis)
{
    if (const std::optional<std::u32string> codePoints = decodeShiftJis(shiftJis))
        return encodeUtf8(*codePoints);
    std::u32string shown;
    for (std::size_t i = 0; i < shiftJis.size();) {
        const std::size_t length = isShiftJisLeadByte(static_cast<unsigned char>(shiftJis[i])) ? 2 : 1;
        const std::optional<std::u32string> character = decodeShiftJis(shiftJis.substr(i, length));
        const bool whole = character && i + length <= shiftJis.size();
        shown += whole ? *character : U"?";
        i += whole ? length : 1;
    }
    return encodeUtf8(shown);
}

} // namespace

void printLine(Stream stream, std::string_view shiftJis, const std::string& name)
{
    std::string line = terminalText(shiftJis);
    if (!name.empty())
        line += ": " + name;
    line += '\n';
    writeUtf8(stream, line);
}

void writeUtf8(Stream stream, std::string_view utf8)
{
    std::FILE* file = stream == Stream::Out ? stdout : stderr;
    std::fwrite(utf8.data(), 1, utf8.size(), file);
    std::fflush(file);
}

void pauseIfConsoleIsOwn()
{
}
