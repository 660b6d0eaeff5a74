// The native build's streaming reader of an XML file: the document
// element's children one at a time, straight from libxml2's parse events.
#include "text/ShiftJisTexts.h"
#include "xml/Libxml2Reading.h"
#include "xml/XMLLimits.h"
#include "xml/XMLParser.h"
#include "xml/XMLProlog.h"

#include <libxml/parserInternals.h>

#include <exception>
#include <functional>
#include <new>
#include <utility>
#include <vector>

using namespace libxml2Reading;

namespace {

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
            stream.add(makeXMLNodes(std::string(kCommentNodeName), stream.toShiftJis(limited(view(text)))));
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
            add(makeXMLNodes(std::string(kTextNodeName), toShiftJis(pending)));
        else if (kind == TextKind::Cdata)
            add(makeXMLNodes(std::string(kCdataNodeName), toShiftJis(pending)));
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

bool streamXMLSource(XMLSource source, const std::function<void(const XMLNodes&)>& each)
{
    const std::optional<std::string> text = parserText(std::move(source));
    return text && ChildStream(each).parse(*text);
}
