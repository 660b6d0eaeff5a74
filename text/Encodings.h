// The encodings the programs read and write: their Windows code pages,
// iconv names, byte-order marks, and the names files and users give them.
#pragma once

#include <optional>
#include <string_view>

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

constexpr SourceEncoding kUtf8{kCodePageUtf8, "UTF-8"};
constexpr SourceEncoding kUtf16LE{kCodePageUtf16LE, "UTF-16LE"};
constexpr SourceEncoding kUtf16BE{kCodePageUtf16BE, "UTF-16BE"};
constexpr SourceEncoding kShiftJis{kCodePageShiftJis, "CP932"};

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";

// The encoding a name stands for, letters in any case: in an XML
// declaration (`inDeclaration`), or as the user names a table's encoding,
// which also takes "utf8". Nothing for a name of neither.
std::optional<SourceEncoding> encodingNamed(std::string_view name, bool inDeclaration);
