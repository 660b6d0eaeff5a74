#include "text/Iconv.h"
#include "text/ShiftJisTexts.h"
#include "xml/MarkupScan.h"
#include "xml/XMLLimits.h"
#include "xml/XMLParser.h"
#include "xml/XMLProlog.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace {

struct FreeDocument {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
struct FreeParser {
    void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};
using Document = std::unique_ptr<xmlDoc, FreeDocument>;
using Parser = std::unique_ptr<xmlParserCtxt, FreeParser>;

// COMPACT keeps short texts inside their nodes: the tree is only read.
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC | XML_PARSE_COMPACT;

// A document deeper or with longer texts than this program reads.
struct BeyondLimits {};

std::string_view view(const xmlChar* text)
{
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// libxml2 holds the same limit; this keeps it whatever its options.
std::string_view limited(std::string_view text)
{
    if (text.size() > kMaxTextBytes)
        throw BeyondLimits{};
    return text;
}

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
            return makeXMLNodes("#text", toShiftJis(content(child)));
        case XML_CDATA_SECTION_NODE:
            return makeXMLNodes("#cdata-section", toShiftJis(content(child)));
        case XML_COMMENT_NODE: return makeXMLNodes("#comment", toShiftJis(content(child)));
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

// libxml2's own messages quote the file and are English: none reaches the
// user; what failed is told in the program's words.
void dropMessage(void*, const char*, ...) {}

// The file's text as libxml2 is given it: UTF-8 without its declared
// encoding, padded at the end; nothing for what is refused before parsing.
std::optional<std::string> parserText(XMLSource source)
{
    std::optional<std::string> text = decodeToUtf8(source.encoding, std::move(source.bytes));
    // No XML text holds a NUL, and libxml2 would end the document there.
    if (!text || text->size() > INT_MAX || text->find('\0') != std::string::npos)
        return std::nullopt;
    blankDeclaredEncoding(*text);
    padDocumentEnd(*text);
    if (hasDocumentType(std::string_view(*text)) || hasTooManyAttributes(std::string_view(*text)))
        return std::nullopt;
    // libxml2 refuses an element once more than this many are open; the
    // walks below hold the exact limit.
    xmlParserMaxDepth = kMaxElementDepth;
    xmlSetGenericErrorFunc(nullptr, dropMessage);
    return text;
}

// The parser is given the text a piece at a time, as it asks: given it
// whole, libxml2 would first copy it all.
xmlDoc* readDocument(xmlParserCtxt* parser, std::string_view text)
{
    const auto read = [](void* rest, char* buffer, int room) -> int {
        std::string_view& left = *static_cast<std::string_view*>(rest);
        const std::size_t taken = std::min(left.size(), static_cast<std::size_t>(room));
        left.copy(buffer, taken);
        left.remove_prefix(taken);
        return static_cast<int>(taken);
    };
    const auto close = [](void*) -> int { return 0; };
    return xmlCtxtReadIO(parser, read, close, &text, nullptr, "UTF-8", kParseOptions);
}

// The document element's children made straight from the parser's events,
// node for node as TreeReader makes them from the document libxml2 would
// build (adjacent character data is one text, and so are adjacent CDATA
// sections; whitespace-only text is not delivered), but without making
// that document: each child is handed out once it ends and let go, so that
// only one is ever held.
class ChildStream {
public:
    explicit ChildStream(const std::function<void(const XMLNodes&)>& each) : deliver(each) {}

    // False when the parser, or a limit of ours, refuses the text. What
    // `each` throws is thrown here again once the parser has stopped.
    bool parse(const std::string& text)
    {
        Parser context(xmlNewParserCtxt());
        if (!context)
            throw std::bad_alloc();
        parser = context.get();
        xmlSAXHandler& events = *parser->sax;
        events.startElementNs = startElement;
        events.endElementNs = endElement;
        events.characters = characters;
        events.ignorableWhitespace = characters;
        events.cdataBlock = cdataBlock;
        events.comment = comment;
        events.processingInstruction = instruction;
        events.serror = error;
        parser->_private = this;
        const Document document(readDocument(parser, text));
        if (thrown)
            std::rethrow_exception(thrown);
        return document && parser->wellFormed && parser->nsWellFormed && !document->intSubset && !refused &&
               sawRoot;
    }

private:
    static ChildStream& of(void* parserContext)
    {
        return *static_cast<ChildStream*>(static_cast<xmlParserCtxt*>(parserContext)->_private);
    }

    // Nothing may be thrown through libxml2: a limit refuses the file and
    // anything else is kept to be thrown again; either stops the parser.
    template <class Work>
    static void guarded(void* parserContext, Work work)
    {
        ChildStream& stream = of(parserContext);
        if (stream.refused || stream.thrown)
            return;
        try {
            work(stream);
        } catch (const BeyondLimits&) {
            stream.stop();
        } catch (...) {
            stream.thrown = std::current_exception();
            stream.stop();
        }
    }

    void stop()
    {
        refused = true;
        xmlStopParser(parser);
    }

    static void startElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar*, int,
                             const xmlChar**, int, int, const xmlChar**)
    {
        guarded(context, [&](ChildStream& stream) {
            stream.endText();
            if (++stream.depth > kMaxElementDepth)
                throw BeyondLimits{};
            stream.sawRoot = true;
            if (stream.depth == 1)
                return;
            std::string name = prefix ? stream.toShiftJis(view(prefix)) + ":" + stream.toShiftJis(view(localName))
                                      : stream.toShiftJis(view(localName));
            stream.open.push_back({makeXMLNodes(std::move(name)), {}});
        });
    }

    static void endElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
    {
        guarded(context, [](ChildStream& stream) {
            stream.endText();
            if (stream.depth-- == 1)
                return;
            OpenElement element = std::move(stream.open.back());
            stream.open.pop_back();
            element.node->addChildren(std::move(element.children));
            stream.add(std::move(element.node));
        });
    }

    static void characters(void* context, const xmlChar* text, int length)
    {
        guarded(context, [&](ChildStream& stream) { stream.addText(TextKind::Text, text, length); });
    }

    static void cdataBlock(void* context, const xmlChar* text, int length)
    {
        guarded(context, [&](ChildStream& stream) { stream.addText(TextKind::Cdata, text, length); });
    }

    static void comment(void* context, const xmlChar* text)
    {
        guarded(context, [&](ChildStream& stream) {
            stream.endText();
            stream.add(makeXMLNodes("#comment", stream.toShiftJis(limited(view(text)))));
        });
    }

    static void instruction(void* context, const xmlChar* target, const xmlChar* data)
    {
        guarded(context, [&](ChildStream& stream) {
            stream.endText();
            stream.add(makeXMLNodes(stream.toShiftJis(view(target)), stream.toShiftJis(limited(view(data)))));
        });
    }

    // Any error refuses the file, as a document that is not well-formed, or
    // not namespace-well-formed, is refused; warnings do not.
    static void error(void* context, xmlErrorPtr error)
    {
        if (error && error->level >= XML_ERR_ERROR)
            guarded(context, [](ChildStream& stream) { stream.stop(); });
    }

    enum class TextKind { None, Text, Cdata };

    void addText(TextKind kind, const xmlChar* text, int length)
    {
        if (kind != pendingKind)
            endText();
        pendingKind = kind;
        pending.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
        limited(pending);
    }

    // The text gathered so far becomes a node.
    void endText()
    {
        const TextKind kind = std::exchange(pendingKind, TextKind::None);
        if (kind == TextKind::Text && !isXmlSpaceOnly(std::string_view(pending)))
            add(makeXMLNodes("#text", toShiftJis(pending)));
        else if (kind == TextKind::Cdata)
            add(makeXMLNodes("#cdata-section", toShiftJis(pending)));
        pending.clear();
    }

    // Into the element open innermost; a child of the document element is
    // handed out. Nothing outside the document element is read.
    void add(XMLNodesPtr node)
    {
        if (!open.empty())
            open.back().children.push_back(std::move(node));
        else if (depth == 1)
            deliver(*node);
    }

    struct OpenElement {
        XMLNodesPtr node;
        XMLNodesList children;
    };

    const std::function<void(const XMLNodes&)>& deliver;
    xmlParserCtxt* parser = nullptr;
    ShiftJisTexts toShiftJis;
    std::vector<OpenElement> open; // below the document element
    int depth = 0;                 // elements open, the document element too
    TextKind pendingKind = TextKind::None;
    std::string pending;
    bool sawRoot = false;
    bool refused = false;
    std::exception_ptr thrown;
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

bool streamXMLSource(XMLSource source, const std::function<void(const XMLNodes&)>& each)
{
    const std::optional<std::string> text = parserText(std::move(source));
    return text && ChildStream(each).parse(*text);
}
