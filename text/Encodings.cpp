#include "text/Encodings.h"

#include <cctype>

namespace {

struct NamedEncoding {
    const char* name;
    SourceEncoding encoding;
    bool inDeclaration = true;
};

// Shift-JIS is always code page 932, whatever the file calls it: the
// program's own texts are in it, so any other table would lose characters.
const NamedEncoding kNamedEncodings[] = {
    {"utf-8", kUtf8},
    {"utf8", kUtf8, false},
    {"shift_jis", kShiftJis},
    {"shift-jis", kShiftJis},
    {"sjis", kShiftJis},
    {"x-sjis", kShiftJis},
    {"ms_kanji", kShiftJis},
    {"csshiftjis", kShiftJis},
    {"windows-31j", kShiftJis},
    {"cp932", kShiftJis},
    {"euc-jp", {20932, "EUC-JP"}},
    {"us-ascii", {20127, "ASCII"}},
    {"iso-8859-1", {28591, "ISO-8859-1"}},
    {"iso-8859-2", {28592, "ISO-8859-2"}},
    {"iso-8859-5", {28595, "ISO-8859-5"}},
    {"iso-8859-7", {28597, "ISO-8859-7"}},
    {"iso-8859-15", {28605, "ISO-8859-15"}},
    {"windows-1250", {1250, "CP1250"}},
    {"windows-1251", {1251, "CP1251"}},
    {"windows-1252", {1252, "CP1252"}},
    {"windows-1253", {1253, "CP1253"}},
    {"windows-1254", {1254, "CP1254"}},
    {"windows-1257", {1257, "CP1257"}},
};

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::optional<SourceEncoding> encodingNamed(std::string_view name, bool inDeclaration)
{
    for (const NamedEncoding& named : kNamedEncodings)
        if ((named.inDeclaration || !inDeclaration) && sameName(name, named.name))
            return named.encoding;
    return std::nullopt;
}
