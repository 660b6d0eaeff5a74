#include "xml/SourceEncoding.h"

#include "xml/XMLProlog.h"

#include <cctype>
#include <string_view>
#include <utility>

namespace {

struct NamedEncoding {
    const char* label;
    SourceEncoding encoding;
};

// Shift-JIS is always code page 932, whatever the file calls it: the
// program's own texts are in it, so any other table would lose characters.
const NamedEncoding kNamedEncodings[] = {
    {"utf-8", {kCodePageUtf8, "UTF-8"}},
    {"shift_jis", {kCodePageShiftJis, "CP932"}},
    {"shift-jis", {kCodePageShiftJis, "CP932"}},
    {"sjis", {kCodePageShiftJis, "CP932"}},
    {"x-sjis", {kCodePageShiftJis, "CP932"}},
    {"ms_kanji", {kCodePageShiftJis, "CP932"}},
    {"csshiftjis", {kCodePageShiftJis, "CP932"}},
    {"windows-31j", {kCodePageShiftJis, "CP932"}},
    {"cp932", {kCodePageShiftJis, "CP932"}},
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

bool sameLabel(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::optional<SourceEncoding> encodingNamed(std::string_view label)
{
    for (const NamedEncoding& named : kNamedEncodings)
        if (sameLabel(label, named.label))
            return named.encoding;
    return std::nullopt;
}

bool startsWith(std::string_view bytes, std::string_view prefix)
{
    return bytes.substr(0, prefix.size()) == prefix;
}

} // namespace

std::optional<XMLSource> identifyEncoding(std::string bytes)
{
    const SourceEncoding utf8{kCodePageUtf8, "UTF-8"};
    const SourceEncoding utf16le{kCodePageUtf16LE, "UTF-16LE"};
    const SourceEncoding utf16be{kCodePageUtf16BE, "UTF-16BE"};
    std::string_view view(bytes);
    if (startsWith(view, "\xEF\xBB\xBF"))
        return XMLSource{utf8, bytes.substr(3)};
    if (startsWith(view, "\xFF\xFE"))
        return XMLSource{utf16le, bytes.substr(2)};
    if (startsWith(view, "\xFE\xFF"))
        return XMLSource{utf16be, bytes.substr(2)};
    // UTF-16 without a mark still begins with "<".
    if (startsWith(view, std::string_view("<\0", 2)))
        return XMLSource{utf16le, std::move(bytes)};
    if (startsWith(view, std::string_view("\0<", 2)))
        return XMLSource{utf16be, std::move(bytes)};

    DeclaredEncoding declared = findDeclaredEncoding(view);
    if (!declared.found)
        return XMLSource{utf8, std::move(bytes)};
    std::optional<SourceEncoding> encoding = encodingNamed(declared.label);
    if (!encoding)
        return std::nullopt;
    return XMLSource{*encoding, std::move(bytes)};
}
