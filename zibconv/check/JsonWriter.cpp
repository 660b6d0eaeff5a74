#include "zibconv/check/JsonWriter.h"

#include "text/ShiftJisToUtf8.h"
#include "text/Unicode.h"


std::string jsonString(std::string_view shiftJis)
{
    return jsonQuotedUtf8(encodeUtf8(codePointsOf(shiftJis)));
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
