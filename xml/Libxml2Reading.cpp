#include "xml/Libxml2Reading.h"

#include "text/Iconv.h"
#include "xml/MarkupScan.h"
#include "xml/XMLLimits.h"
#include "xml/XMLProlog.h"

#include <libxml/parserInternals.h>

#include <algorithm>
#include <climits>
#include <utility>

namespace libxml2Reading {

namespace {

// COMPACT keeps short texts inside their nodes: the tree is only read.
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC | XML_PARSE_COMPACT;

// libxml2's own messages quote the file and are English: none reaches the
// user; what failed is told in the program's words.
void dropMessage(void*, const char*, ...) {}

} // namespace

std::string_view view(const xmlChar* text)
{
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

std::string_view limited(std::string_view text)
{
    if (text.size() > kMaxTextBytes)
        throw BeyondLimits{};
    return text;
}

std::optional<std::string> parserText(XMLSource source)
{
    std::optional<std::string> text = decodeToUtf8(source.encoding, std::move(source.bytes));
    // No XML text holds a NUL, and libxml2 would end the document there.
    if (!text || text->size() > INT_MAX || text->find('\0') != std::string::npos)
        return std::nullopt;
    blankDeclaredEncoding(*text);
    padDocumentEnd(*text);
    if (hasDocumentType(std::string_view(*text)) || hasTooManyAttributes(std::string_view(*text)))
        return std::nullopt;
    // libxml2 refuses an element once more than this many are open; the
    // walks below hold the exact limit.
    xmlParserMaxDepth = kMaxElementDepth;
    xmlSetGenericErrorFunc(nullptr, dropMessage);
    return text;
}

xmlDoc* readDocument(xmlParserCtxt* parser, std::string_view text)
{
    const auto read = [](void* rest, char* buffer, int room) -> int {
        std::string_view& left = *static_cast<std::string_view*>(rest);
        const std::size_t taken = std::min(left.size(), static_cast<std::size_t>(room));
        left.copy(buffer, taken);
        left.remove_prefix(taken);
        return static_cast<int>(taken);
    };
    const auto close = [](void*) -> int { return 0; };
    return xmlCtxtReadIO(parser, read, close, &text, nullptr, "UTF-8", kParseOptions);
}

} // namespace libxml2Reading
