// check --json: Shift-JIS texts become JSON strings of UTF-8, escaped where
// JSON requires; values are separated as JSON wants. (The end-to-end test
// reads every report back with a real JSON parser.)
#include "zibconv/check/JsonWriter.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonWriter, StringsAreUtf8EscapedWhereJsonRequires)
{
    const struct {
        const char* shiftJis;
        const char* json;
    } cases[] = {
        {"", "\"\""},
        {"plain", "\"plain\""},
        {"say \"hi\" \\ /", "\"say \\\"hi\\\" \\\\ /\""},
        {"a\r\nb\tc", "\"a\\r\\nb\\tc\""},
        {"\x01\x1f\x7f", "\"\\u0001\\u001f\x7f\""},
        {"東京　ｶﾅ", "\"\xe6\x9d\xb1\xe4\xba\xac\xe3\x80\x80\xef\xbd\xb6\xef\xbe\x85\""},
        // A byte that is no Shift-JIS still gives valid UTF-8.
        {"a\x81", "\"a\xc2\x81\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shiftJis);
        EXPECT_EQ(jsonString(c.shiftJis), c.json);
    }
}

TEST(JsonWriter, ValuesAndMembersAreSeparatedByCommas)
{
    JsonWriter json;
    json.beginObject();
    json.key("a");
    json.beginArray();
    json.number(1);
    json.numberOrNull(std::nullopt);
    json.beginObject();
    json.endObject();
    json.beginArray();
    json.endArray();
    json.text("x");
    json.endArray();
    json.key("b");
    json.numberOrNull(7);
    json.key("c");
    json.null();
    json.endObject();
    EXPECT_EQ(json.document(), "{\"a\":[1,null,{},[],\"x\"],\"b\":7,\"c\":null}\n");
}

} // namespace
