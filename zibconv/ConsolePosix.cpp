#include "zibconv/Console.h"

#include "xml/ShiftJis.h"
#include "xml/Unicode.h"

#include <cstdio>

void printLine(Stream stream, std::string_view shiftJis, const std::string& name)
{
    const std::optional<std::u32string> codePoints = decodeShiftJis(shiftJis);
    std::string line = codePoints ? encodeUtf8(*codePoints) : std::string(shiftJis);
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
