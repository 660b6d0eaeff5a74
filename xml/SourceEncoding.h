// Which encoding the bytes of an XML file are in: by byte-order mark, by the
// first characters of a UTF-16 text, or by the name in the declaration.
#pragma once

#include "text/Encodings.h"

#include <optional>
#include <string>

struct XMLSource {
    SourceEncoding encoding;
    std::string bytes; // without the byte-order mark
};

// Nothing when the declaration names an encoding that is not supported.
// Without a mark or a declared name the text is UTF-8, as XML says.
std::optional<XMLSource> identifyEncoding(std::string bytes);
