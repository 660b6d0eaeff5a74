#pragma once

#include <string_view>

// True when the Shift-JIS bytes are an XML name without a colon (a name
// with a prefix would need a namespace declaration, which the writer never
// writes). "#text" and the empty name are refused.
bool isXmlElementName(std::string_view name);
