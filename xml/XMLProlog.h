// Looks at the prolog of an XML text before it is parsed: the encoding that
// the declaration names, and whether a document type declaration follows.
// Works on bytes of an ASCII-compatible encoding and on decoded text alike
// (char for bytes and UTF-8, wchar_t for UTF-16).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

template <class Char>
bool isXmlSpace(Char c)
{
    return c == Char(' ') || c == Char('\t') || c == Char('\r') || c == Char('\n');
}

// Text nodes of nothing but these are indentation, not content.
template <class Char>
bool isXmlSpaceOnly(std::basic_string_view<Char> text)
{
    for (Char c : text)
        if (!isXmlSpace(c))
            return false;
    return true;
}

template <class Char>
bool startsWithAscii(std::basic_string_view<Char> text, std::size_t pos, std::string_view ascii)
{
    if (text.size() - pos < ascii.size())
        return false;
    for (std::size_t i = 0; i < ascii.size(); ++i)
        if (text[pos + i] != Char(static_cast<unsigned char>(ascii[i])))
            return false;
    return true;
}

template <class Char>
std::size_t findAscii(std::basic_string_view<Char> text, std::size_t pos, std::string_view ascii)
{
    for (; pos + ascii.size() <= text.size(); ++pos)
        if (startsWithAscii(text, pos, ascii))
            return pos;
    return std::string_view::npos;
}

// Where the declaration's encoding pseudo-attribute stands: [begin, end)
// covers `encoding='...'`; `label` is its value in ASCII.
struct DeclaredEncoding {
    bool found = false;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string label;
};

template <class Char>
DeclaredEncoding findDeclaredEncoding(std::basic_string_view<Char> text)
{
    DeclaredEncoding result;
    if (!startsWithAscii(text, 0, "<?xml") || text.size() < 6 || !isXmlSpace(text[5]))
        return result;
    std::size_t pos = 5;
    for (;;) {
        while (pos < text.size() && isXmlSpace(text[pos]))
            ++pos;
        const std::size_t nameBegin = pos;
        while (pos < text.size() && ((text[pos] >= Char('a') && text[pos] <= Char('z')) ||
                                     (text[pos] >= Char('A') && text[pos] <= Char('Z'))))
            ++pos;
        const std::size_t nameEnd = pos;
        while (pos < text.size() && isXmlSpace(text[pos]))
            ++pos;
        if (nameBegin == nameEnd || pos == text.size() || text[pos] != Char('='))
            return result;
        ++pos;
        while (pos < text.size() && isXmlSpace(text[pos]))
            ++pos;
        if (pos == text.size() || (text[pos] != Char('\'') && text[pos] != Char('"')))
            return result;
        const Char quote = text[pos];
        const std::size_t valueBegin = ++pos;
        while (pos < text.size() && text[pos] != quote && text[pos] != Char('>'))
            ++pos;
        if (pos == text.size() || text[pos] != quote)
            return result;
        ++pos;
        if (startsWithAscii(text.substr(nameBegin, nameEnd - nameBegin), 0, "encoding") &&
            nameEnd - nameBegin == 8) {
            result.found = true;
            result.begin = nameBegin;
            result.end = pos;
            for (std::size_t i = valueBegin; i + 1 < pos; ++i) {
                const auto c = static_cast<std::make_unsigned_t<Char>>(text[i]);
                result.label += c < 0x80 ? static_cast<char>(c) : '?';
            }
            return result;
        }
    }
}

// Overwrites the declaration's encoding with spaces: the text is decoded
// already, and a parser must not decode it a second time by that name.
template <class Char>
void blankDeclaredEncoding(std::basic_string<Char>& text)
{
    DeclaredEncoding declared = findDeclaredEncoding(std::basic_string_view<Char>(text));
    if (declared.found)
        for (std::size_t i = declared.begin; i < declared.end; ++i)
            text[i] = Char(' ');
}

// True when a document type declaration stands in the prolog, before the
// document element. Such documents are refused before any parser sees them:
// a DTD is where entity bombs and references to outside files live.
template <class Char>
bool hasDocumentType(std::basic_string_view<Char> text)
{
    std::size_t pos = 0;
    for (;;) {
        while (pos < text.size() && isXmlSpace(text[pos]))
            ++pos;
        // The search for the end starts after the whole opening, as a
        // parser's does: "<!-->" does not close the comment it opens.
        std::string_view open = "<!--", end = "-->";
        if (!startsWithAscii(text, pos, open)) {
            open = "<?";
            end = "?>";
        }
        if (!startsWithAscii(text, pos, open))
            return startsWithAscii(text, pos, "<!DOCTYPE");
        const std::size_t close = findAscii(text, pos + open.size(), end);
        if (close == std::string_view::npos)
            return false;
        pos = close + end.size();
    }
}

// Empty comments after the document's end. libxml2, natively and inside
// Wine's DOM, refuses a document of more than 10 MB whose last few hundred
// bytes fall inside a long text or run of whitespace ("huge input lookup");
// after these, no content of the document is that close to the end. Both
// readers read only the document element, so they change nothing else.
template <class Char>
void padDocumentEnd(std::basic_string<Char>& text)
{
    const std::string_view padding = "<!---->";
    for (int i = 0; i < 64; ++i)
        for (char c : padding)
            text += Char(c);
}
