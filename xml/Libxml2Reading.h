// What the native build's two XML readers share: libxml2's handles, the
// options and limits it parses with, and the text it is given.
#pragma once

#include "xml/SourceEncoding.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace libxml2Reading {

struct FreeDocument {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
struct FreeParser {
    void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};
using Document = std::unique_ptr<xmlDoc, FreeDocument>;
using Parser = std::unique_ptr<xmlParserCtxt, FreeParser>;

// A document deeper or with longer texts than this program reads.
struct BeyondLimits {};

std::string_view view(const xmlChar* text);

// libxml2 holds the same limit; this keeps it whatever its options.
std::string_view limited(std::string_view text);

// The file's text as libxml2 is given it: UTF-8 without its declared
// encoding, padded at the end; nothing for what is refused before parsing.
std::optional<std::string> parserText(XMLSource source);

// The parser is given the text a piece at a time, as it asks: given it
// whole, libxml2 would first copy it all.
xmlDoc* readDocument(xmlParserCtxt* parser, std::string_view text);

} // namespace libxml2Reading
