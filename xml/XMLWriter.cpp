// Our own serialiser: the DOM component's would not write Shift-JIS under
// Wine, and its output is not byte-faithful there.
#include "xml/FileIO.h"
#include "xml/ShiftJis.h"
#include "xml/XMLFile.h"
#include "xml/XMLLimits.h"
#include "xml/XMLName.h"

#include <optional>

namespace {

// Characters XML 1.0 cannot hold: no reader would take the file back.
bool isForbiddenControl(unsigned char c)
{
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// Shift-JIS trail bytes are 0x40 or above, so every byte below that is a
// character of its own and can be escaped or dropped byte by byte.
bool appendText(std::string& out, const std::string& text)
{
    if (!isValidShiftJis(text))
        return false;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default:
            if (!isForbiddenControl(static_cast<unsigned char>(c)))
                out += c;
        }
    }
    return true;
}

// An element's content is the text of its first child when that text is not
// empty, and otherwise one element per child.
bool writeXMLNode(std::string& out, const XMLNodes& node, int depth)
{
    const std::string& name = node.nameView();
    if (depth > kMaxElementDepth || !isXmlElementName(name))
        return false;
    const XMLNodesList& children = node.childrenView();
    out += '<';
    out += name;
    if (children.empty()) {
        out += "/>";
        return true;
    }
    out += '>';
    const std::string& firstText = children.front()->textView();
    if (!firstText.empty()) {
        if (!appendText(out, firstText))
            return false;
    } else {
        for (const XMLNodesPtr& child : children)
            if (!writeXMLNode(out, *child, depth + 1))
                return false;
    }
    out += "</";
    out += name;
    out += '>';
    return true;
}

std::optional<std::string> serializeXMLDocument(const XMLNodes& root)
{
    std::string out = "<?xml version='1.0' encoding='SHIFT_JIS'?>\r\n";
    if (!writeXMLNode(out, root, 1))
        return std::nullopt;
    out += "\r\n";
    return out;
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
