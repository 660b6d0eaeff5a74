#include "zibconv/check/JsonWriter.h"

#include "text/ShiftJisToUtf8.h"
#include "text/Unicode.h"

#include <cstdio>

std::string jsonString(std::string_view shiftJis)
{
    std::string quoted = "\"";
    for (char c : encodeUtf8(codePointsOf(shiftJis))) {
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

void JsonWriter::beforeValue()
{
    if (!first && !afterKey)
        out += ',';
    first = false;
    afterKey = false;
}

void JsonWriter::open(char bracket)
{
    beforeValue();
    out += bracket;
    first = true;
}

void JsonWriter::close(char bracket)
{
    out += bracket;
    first = false;
}

void JsonWriter::beginObject()
{
    open('{');
}

void JsonWriter::endObject()
{
    close('}');
}

void JsonWriter::beginArray()
{
    open('[');
}

void JsonWriter::endArray()
{
    close(']');
}

void JsonWriter::key(std::string_view name)
{
    beforeValue();
    out += jsonString(name) + ':';
    afterKey = true;
}

void JsonWriter::text(std::string_view shiftJis)
{
    beforeValue();
    out += jsonString(shiftJis);
}

void JsonWriter::number(std::size_t value)
{
    beforeValue();
    out += std::to_string(value);
}

void JsonWriter::numberOrNull(std::optional<std::size_t> value)
{
    if (value)
        number(*value);
    else
        null();
}

void JsonWriter::null()
{
    beforeValue();
    out += "null";
}
