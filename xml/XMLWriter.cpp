// Our own serialiser: the DOM component's would not write Shift-JIS under
// Wine, and its output is not byte-faithful there.
#include "files/FileIO.h"
#include "text/ShiftJis.h"
#include "xml/XMLFile.h"
#include "xml/XMLLimits.h"
#include "xml/XMLName.h"

#include <optional>
#include <string>
#include <string_view>

namespace {

// Characters XML 1.0 cannot hold: no reader would take the file back.
bool isForbiddenControl(unsigned char c)
{
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// Where the document goes. It is written twice: once to count its bytes and
// once into a string of exactly that size, because fresh memory is what a
// save of a large set spends most of its time on.
struct ByteCounter {
    std::size_t count = 0;
    void append(std::string_view bytes) { count += bytes.size(); }
};

struct ByteAppender {
    std::string& out;
    void append(std::string_view bytes) { out.append(bytes); }
};

const char* escapeOf(char c)
{
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    default: return nullptr;
    }
}

// Shift-JIS trail bytes are 0x40 or above, so every byte below that is a
// character of its own and can be escaped or dropped byte by byte; the runs
// between such bytes are copied whole.
template <class Sink>
bool appendText(Sink& out, std::string_view text)
{
    if (!isValidShiftJis(text))
        return false;
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* escape = escapeOf(text[i]);
        if (!escape && !isForbiddenControl(static_cast<unsigned char>(text[i])))
            continue;
        out.append(text.substr(runStart, i - runStart));
        if (escape)
            out.append(escape);
        runStart = i + 1;
    }
    out.append(text.substr(runStart));
    return true;
}

// An element's content is the text of its first child when that text is not
// empty, and otherwise one element per child.
template <class Sink>
bool writeXMLNode(Sink& out, const XMLNodes& node, int depth)
{
    const std::string& name = node.nameView();
    if (depth > kMaxElementDepth || !isXmlElementName(name))
        return false;
    const XMLNodesList& children = node.childrenView();
    out.append("<");
    out.append(name);
    if (children.empty()) {
        out.append("/>");
        return true;
    }
    out.append(">");
    const std::string& firstText = children.front()->textView();
    if (!firstText.empty()) {
        if (!appendText(out, firstText))
            return false;
    } else {
        for (const XMLNodesPtr& child : children)
            if (!writeXMLNode(out, *child, depth + 1))
                return false;
    }
    out.append("</");
    out.append(name);
    out.append(">");
    return true;
}

constexpr std::string_view kDeclaration = "<?xml version='1.0' encoding='SHIFT_JIS'?>\r\n";
constexpr std::string_view kDocumentEnd = "\r\n";

template <class Sink>
bool writeXMLDocument(Sink& out, const XMLNodes& root)
{
    out.append(kDeclaration);
    if (!writeXMLNode(out, root, 1))
        return false;
    out.append(kDocumentEnd);
    return true;
}

std::optional<std::string> serializeXMLDocument(const XMLNodes& root)
{
    ByteCounter counter;
    if (!writeXMLDocument(counter, root))
        return std::nullopt;
    std::string text;
    text.reserve(counter.count);
    ByteAppender appender{text};
    writeXMLDocument(appender, root);
    return text;
}

} // namespace

bool saveXMLFile(XMLNodesPtr root, std::string path)
{
    if (!root)
        return false;
    // The whole document is built before the file is touched.
    std::optional<std::string> bytes = serializeXMLDocument(*root);
    return bytes && replaceFileContents(path, *bytes);
}

bool saveXMLFileChildByChild(const std::string& rootName, std::size_t childCount,
                             const std::function<XMLNodesPtr(std::size_t)>& childAt, std::string path)
{
    if (childCount == 0)
        return saveXMLFile(makeXMLNodes(rootName), std::move(path));
    if (!isXmlElementName(rootName))
        return false;
    std::string bytes;
    ByteAppender out{bytes};
    out.append(kDeclaration);
    out.append("<" + rootName + ">");
    for (std::size_t i = 0; i < childCount; ++i) {
        const XMLNodesPtr child = childAt(i);
        // A child's first child is an element, whose text is empty: the
        // document element's content is its children, as saveXMLFile has it.
        if (!child || !writeXMLNode(out, *child, 2))
            return false;
    }
    out.append("</" + rootName + ">");
    out.append(kDocumentEnd);
    return replaceFileContents(path, bytes);
}
