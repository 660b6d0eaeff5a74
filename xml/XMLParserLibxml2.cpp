#include "xml/Iconv.h"
#include "xml/ShiftJis.h"
#include "xml/XMLLimits.h"
#include "xml/XMLParser.h"
#include "xml/XMLProlog.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <climits>
#include <memory>

namespace {

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

std::string_view view(const xmlChar* text)
{
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// libxml2 holds the same limit; this keeps it whatever its options.
std::string_view content(const xmlNode* node)
{
    const std::string_view text = view(node->content);
    if (text.size() > kMaxTextBytes)
        throw BeyondLimits{};
    return text;
}

// Turns libxml2's nodes into XMLNodes as the DOM names them: "#text",
// "#cdata-section", "#comment", a processing instruction's target. Each
// child is freed once it is read, so that the two trees are not held whole
// side by side.
class TreeReader {
public:
    XMLNodesPtr readElement(const xmlNode* element, int depth)
    {
        if (depth > kMaxElementDepth)
            throw BeyondLimits{};
        std::string name = element->ns && element->ns->prefix
                               ? toShiftJis(view(element->ns->prefix)) + ":" + toShiftJis(view(element->name))
                               : toShiftJis(view(element->name));
        XMLNodesPtr node = makeXMLNodes(std::move(name));
        node->addChildren(readChildren(element, depth));
        return node;
    }

private:
    Iconv utf8ToShiftJis{"CP932", "UTF-8"};

    // In the forms both platforms take, so that the same file gives the
    // same texts on both.
    std::string toShiftJis(std::string_view utf8)
    {
        if (isAscii(utf8))
            return std::string(utf8);
        if (const std::optional<std::string> forms = utf8InCodePage932Forms(utf8))
            return utf8ToShiftJis.convertFromUtf8Lossy(*forms);
        return utf8ToShiftJis.convertFromUtf8Lossy(utf8);
    }

    XMLNodesList readChildren(const xmlNode* parent, int depth)
    {
        XMLNodesList children;
        while (xmlNode* child = parent->children) {
            if (XMLNodesPtr node = readChild(child, depth))
                children.push_back(std::move(node));
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        }
        return children;
    }

    // Null for what the DOM does not deliver: whitespace-only text.
    XMLNodesPtr readChild(const xmlNode* child, int depth)
    {
        switch (child->type) {
        case XML_ELEMENT_NODE: return readElement(child, depth + 1);
        case XML_TEXT_NODE:
            if (isXmlSpaceOnly(content(child)))
                return nullptr;
            return makeXMLNodes("#text", toShiftJis(content(child)));
        case XML_CDATA_SECTION_NODE: return makeXMLNodes("#cdata-section", toShiftJis(content(child)));
        case XML_COMMENT_NODE: return makeXMLNodes("#comment", toShiftJis(content(child)));
        case XML_PI_NODE: return makeXMLNodes(toShiftJis(view(child->name)), toShiftJis(content(child)));
        default: return nullptr;
        }
    }
};

} // namespace

XMLNodesPtr parseXMLSource(XMLSource source)
{
    std::optional<std::string> text = decodeToUtf8(std::move(source));
    // No XML text holds a NUL, and libxml2 would end the document there.
    if (!text || text->size() > INT_MAX || text->find('\0') != std::string::npos)
        return nullptr;
    blankDeclaredEncoding(*text);
    padDocumentEnd(*text);
    if (hasDocumentType(std::string_view(*text)))
        return nullptr;

    // libxml2 refuses an element once more than this many are open; the
    // walk below holds the exact limit.
    xmlParserMaxDepth = kMaxElementDepth;
    Parser parser(xmlNewParserCtxt());
    if (!parser)
        return nullptr;
    // COMPACT keeps short texts inside their nodes: the tree is only read.
    const int options =
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC | XML_PARSE_COMPACT;
    Document document(
        xmlCtxtReadMemory(parser.get(), text->data(), static_cast<int>(text->size()), nullptr, "UTF-8", options));
    // The document holds copies of everything it needs.
    text.reset();
    // A prefix without its declaration is an error to MSXML as well.
    if (!document || !parser->wellFormed || !parser->nsWellFormed || document->intSubset)
        return nullptr;
    const xmlNode* root = xmlDocGetRootElement(document.get());
    if (!root)
        return nullptr;
    try {
        return TreeReader().readElement(root, 1);
    } catch (const BeyondLimits&) {
        return nullptr;
    }
}
