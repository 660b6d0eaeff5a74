// Code-page conversion of the native build, through iconv.
#pragma once

#include "text/Encodings.h"

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

// One conversion direction, closed with the object.
class Iconv {
public:
    Iconv(const char* to, const char* from);
    ~Iconv();
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const { return descriptor != reinterpret_cast<iconv_t>(-1); }

    // Strict: nothing when the input holds a sequence the source encoding
    // does not have.
    std::optional<std::string> convert(std::string_view input);

    // Whether `convert` would succeed, without keeping the output.
    bool accepts(std::string_view input);

    // A character the target cannot hold becomes "?", as the Windows
    // conversion writes its default character. Input must be valid UTF-8.
    std::string convertFromUtf8Lossy(std::string_view utf8);

private:
    iconv_t descriptor;
    std::string scratch;
};

// The file's text as UTF-8; nothing when its bytes are not of its encoding.
// UTF-8 bytes are taken over, not copied.
std::optional<std::string> decodeToUtf8(SourceEncoding encoding, std::string bytes);
