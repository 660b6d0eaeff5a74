#pragma once

#include "xml/SourceEncoding.h"
#include "xml/XMLNodes.h"

// The engine of the build: decodes the file's text, parses it and converts
// the document element's subtree into XMLNodes with Shift-JIS names and
// texts. libxml2 natively (XMLParserLibxml2.cpp), the MSXML 6 DOM on
// Windows (XMLParserMsxml.cpp). Null for every failure. Each copy of the
// text is let go as soon as the next exists: a load's peak memory is the
// engine's document and the element tree beside it.
XMLNodesPtr parseXMLSource(XMLSource source);
