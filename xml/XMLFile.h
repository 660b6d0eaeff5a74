// Reading an XML file into an element tree and writing one out.
#pragma once

#include "xml/XMLNodes.h"

#include <functional>
#include <string>

// The document element and everything inside it, names and texts in
// Shift-JIS; null when the file cannot be read, is not well-formed, has a
// document type declaration or nests deeper than kMaxElementDepth.
XMLNodesPtr loadXMLFile(std::string path);

// The same file child by child of the document element: see
// streamXMLSource.
bool streamXMLFile(std::string path, const std::function<void(const XMLNodes&)>& each);

// Writes the declaration "version='1.0' encoding='SHIFT_JIS'" and the tree
// as Shift-JIS XML, with no whitespace between elements. False, with the
// file untouched, when a name is not an XML name ("#text" among them), a
// text is not Shift-JIS, the tree is too deep, or the file cannot be
// written.
bool saveXMLFile(XMLNodesPtr root, std::string path);

// Writes the same bytes as saveXMLFile of an element named `rootName` with
// `childCount` children, but makes each child with `childAt` only when it
// is written and lets it go after, so that the whole tree is never held.
// A null child fails the write, as does anything saveXMLFile refuses.
bool saveXMLFileChildByChild(const std::string& rootName, std::size_t childCount,
                             const std::function<XMLNodesPtr(std::size_t)>& childAt, std::string path);
