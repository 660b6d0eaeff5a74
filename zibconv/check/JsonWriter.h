// The little JSON that check's report needs, written as UTF-8: objects,
// arrays, numbers, null and strings. Strings come in as Shift-JIS and go
// out escaped where JSON requires it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // A member's name inside an object; its value comes next.
    void key(std::string_view name);
    void text(std::string_view shiftJis);
    void number(std::size_t value);
    // A number, or null for nothing.
    void numberOrNull(std::optional<std::size_t> value);
    void null();

    // The document so far, with a line break at its end.
    std::string document() const { return out + "\n"; }

private:
    // A comma before every value of an array or member of an object but its first.
    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    std::string out;
    bool first = true;
    bool afterKey = false;
};

// Shift-JIS text as a JSON string, quotes included.
std::string jsonString(std::string_view shiftJis);
