#pragma once

#include "xml/SourceEncoding.h"
#include "xml/XMLNodes.h"

#include <functional>

// The engine of the build: decodes the file's text, parses it and converts
// the document element's subtree into XMLNodes with Shift-JIS names and
// texts. libxml2 natively (XMLTreeReaderLibxml2.cpp,
// XMLStreamReaderLibxml2.cpp), the MSXML 6 DOM on Windows
// (XMLParserMsxml.cpp). Null for every failure. Each copy of the
// text is let go as soon as the next exists: a load's peak memory is the
// engine's document and the element tree beside it.
XMLNodesPtr parseXMLSource(XMLSource source);

// The same document child by child: `each` is given every child of the
// document element, in document order, as a tree of its own that lives
// only for the call. False for every file parseXMLSource refuses; the
// children given before the refusal then count for nothing. libxml2 reads
// the file as a stream and holds one child at a time; the DOM reads it
// whole first.
bool streamXMLSource(XMLSource source, const std::function<void(const XMLNodes&)>& each);
