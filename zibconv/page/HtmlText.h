// Text into the page: the one place where anything from a quiz file becomes
// HTML, so that no text can open a tag, close an element or start an entity.
#pragma once

#include <string>
#include <string_view>

// Appends Shift-JIS text as escaped UTF-8: & < > " ' as character
// references, CR LF and a lone CR as LF. Bytes that are no code page 932
// text become U+FFFD, one each. Safe in element content and in a quoted
// attribute value alike.
void appendHtmlText(std::string& page, std::string_view shiftJis);

// Appends the UTF-8 of Shift-JIS text as the page shows it, before
// escaping: bytes that are no code page 932 text as U+FFFD, one each.
void appendShownUtf8(std::string& utf8, std::string_view shiftJis);

// The same for text that is UTF-8 already (a file name as the system gave it).
void appendHtmlUtf8(std::string& page, std::string_view utf8);

// The same for an attribute value between single quotes, where a double
// quote stands as itself: the play data's JSON is mostly double quotes.
void appendSingleQuotedUtf8(std::string& page, std::string_view utf8);
