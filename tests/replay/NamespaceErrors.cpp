#include "NamespaceErrors.h"

#include "files/FileIO.h"
#include "text/Iconv.h"
#include "xml/SourceEncoding.h"
#include "xml/MarkupScan.h"
#include "xml/XMLProlog.h"

#include <libxml/parser.h>

#include <climits>

bool breaksOnlyNamespaces(const std::string& path)
{
    std::optional<std::string> bytes = readFileBytes(path);
    std::optional<XMLSource> source = bytes ? identifyEncoding(std::move(*bytes)) : std::nullopt;
    std::optional<std::string> text = source ? decodeToUtf8(source->encoding, std::move(source->bytes)) : std::nullopt;
    if (!text || text->size() > INT_MAX || text->find('\0') != std::string::npos)
        return false;
    blankDeclaredEncoding(*text);
    padDocumentEnd(*text);
    if (hasDocumentType(std::string_view(*text)) || hasTooManyAttributes(std::string_view(*text)))
        return false;
    xmlParserCtxt* parser = xmlNewParserCtxt();
    if (!parser)
        return false;
    xmlDoc* document = xmlCtxtReadMemory(parser, text->data(), static_cast<int>(text->size()), nullptr, "UTF-8",
                                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                             XML_PARSE_IGNORE_ENC);
    const bool onlyNamespaces = document && parser->wellFormed && !parser->nsWellFormed;
    xmlFreeDoc(document);
    xmlFreeParserCtxt(parser);
    return onlyNamespaces;
}
