// Which encoding the bytes of an XML file are in: by byte-order mark, by the
// first characters of a UTF-16 text, or by the name in the declaration.
#pragma once

#include <optional>
#include <string>

constexpr int kCodePageShiftJis = 932;
constexpr int kCodePageUtf8 = 65001;
constexpr int kCodePageUtf16LE = 1200;
constexpr int kCodePageUtf16BE = 1201;

// The same encoding for both platforms' converters: a Windows code page and
// the iconv name of the same table.
struct SourceEncoding {
    int codePage;
    const char* iconvName;
};

struct XMLSource {
    SourceEncoding encoding;
    std::string bytes; // without the byte-order mark
};

// Nothing when the declaration names an encoding that is not supported.
// Without a mark or a declared name the text is UTF-8, as XML says.
std::optional<XMLSource> identifyEncoding(std::string bytes);
