// Code-page conversion of the Windows build, through the system's
// MultiByteToWideChar and WideCharToMultiByte.
#pragma once

#include "text/Encodings.h"

#include <optional>
#include <string>
#include <string_view>

// Bytes of `codePage` as UTF-16; nothing for bytes the code page does not
// have.
std::optional<std::wstring> multiByteToWide(std::string_view bytes, unsigned codePage);

// UTF-16 as bytes of `codePage`; nothing where a character does not fit it,
// rather than a look-alike in its place.
std::optional<std::string> wideToMultiByte(std::wstring_view text, unsigned codePage);

// The file's text as UTF-16; nothing when its bytes are not of its encoding.
std::optional<std::wstring> decodeToWide(SourceEncoding encoding, const std::string& bytes);

// Code page 932 in the forms both platforms take (codePage932FormOf); a
// character it cannot hold becomes "?", one per character also outside the
// Basic Multilingual Plane.
std::string wideToShiftJis(std::wstring_view text);
