// Texts as an Anki collection holds them: UTF-8 in Unicode's NFC, as HTML;
// the checksum Anki keeps of a note's first field, and GUIDs in Anki's own
// alphabet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The canonical composition (NFC) of text decoded from code page 932.
// Such text holds no combining mark (the voiced marks ゛ ゜ of code page
// 932 are spacing characters, which NFC leaves as they are), so its NFC
// is each character's own: the compatibility ideographs of the IBM rows
// (﨑 U+FA11 stays, 塚 U+FA10 becomes U+585A) and the ångström sign U+212B
// become the characters they stand for.
std::u32string composedOfCodePage932(std::u32string text);

// A Shift-JIS text as the field of a note: NFC, & < > " { } as references,
// each line break (CR LF, CR or LF) as <br>; a blank text (spaces and
// breaks alone) as nothing. Nothing when it is no Shift-JIS.
std::optional<std::string> fieldHtml(std::string_view shiftJis);

// UTF-8 as HTML content, the same references and breaks.
std::string htmlOfUtf8(std::string_view utf8);

// Anki's checksum of a field: the first 32 bits of the SHA-1 of its text
// with the tags taken out and the references read.
std::int64_t fieldChecksum(std::string_view html);

// 64 bits in Anki's base 91 (its GUIDs), most significant digit first.
std::string base91(std::uint64_t value);

// The first 64 bits of the SHA-1 of `key`, big-endian.
std::uint64_t hashOf(std::string_view key);
