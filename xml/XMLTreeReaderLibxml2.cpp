// The native build's reader of a whole XML file into an element tree,
// through libxml2's document.
#include "text/ShiftJisTexts.h"
#include "xml/Libxml2Reading.h"
#include "xml/XMLLimits.h"
#include "xml/XMLParser.h"
#include "xml/XMLProlog.h"

using namespace libxml2Reading;

namespace {

std::string_view content(const xmlNode* node)
{
    return limited(view(node->content));
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
    // Null for what the DOM does not deliver: whitespace-only text.
    XMLNodesPtr readChild(const xmlNode* child, int depth)
    {
        switch (child->type) {
        case XML_ELEMENT_NODE: return readElement(child, depth + 1);
        case XML_TEXT_NODE:
            if (isXmlSpaceOnly(content(child)))
                return nullptr;
            return makeXMLNodes(std::string(kTextNodeName), toShiftJis(content(child)));
        case XML_CDATA_SECTION_NODE:
            return makeXMLNodes(std::string(kCdataNodeName), toShiftJis(content(child)));
        case XML_COMMENT_NODE: return makeXMLNodes(std::string(kCommentNodeName), toShiftJis(content(child)));
        case XML_PI_NODE: return makeXMLNodes(toShiftJis(view(child->name)), toShiftJis(content(child)));
        default: return nullptr;
        }
    }

    XMLNodesList readChildren(const xmlNode* parent, int depth)
    {
        XMLNodesList children;
        xmlNode* next = nullptr;
        for (xmlNode* child = parent->children; child; child = next) {
            next = child->next;
            if (XMLNodesPtr node = readChild(child, depth))
                children.push_back(std::move(node));
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        }
        return children;
    }

    ShiftJisTexts toShiftJis;
};

} // namespace

XMLNodesPtr parseXMLSource(XMLSource source)
{
    std::optional<std::string> text = parserText(std::move(source));
    if (!text)
        return nullptr;
    Parser parser(xmlNewParserCtxt());
    if (!parser)
        return nullptr;
    Document document(readDocument(parser.get(), *text));
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
