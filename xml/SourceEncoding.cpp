#include "xml/SourceEncoding.h"

#include "xml/XMLProlog.h"

#include <string_view>
#include <utility>

std::optional<XMLSource> identifyEncoding(std::string bytes)
{
    std::string_view view(bytes);
    if (view.starts_with(kUtf8Mark))
        return XMLSource{kUtf8, bytes.substr(kUtf8Mark.size())};
    if (view.starts_with(kUtf16LEMark))
        return XMLSource{kUtf16LE, bytes.substr(kUtf16LEMark.size())};
    if (view.starts_with(kUtf16BEMark))
        return XMLSource{kUtf16BE, bytes.substr(kUtf16BEMark.size())};
    // UTF-16 without a mark still begins with "<".
    if (view.starts_with(std::string_view("<\0", 2)))
        return XMLSource{kUtf16LE, std::move(bytes)};
    if (view.starts_with(std::string_view("\0<", 2)))
        return XMLSource{kUtf16BE, std::move(bytes)};

    DeclaredEncoding declared = findDeclaredEncoding(view);
    if (!declared.found)
        return XMLSource{kUtf8, std::move(bytes)};
    std::optional<SourceEncoding> encoding = encodingNamed(declared.label, true);
    if (!encoding)
        return std::nullopt;
    return XMLSource{*encoding, std::move(bytes)};
}
