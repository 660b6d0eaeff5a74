#include "xml/Iconv.h"
#include "xml/ShiftJis.h"
#include "xml/Unicode.h"
#include "xml/MarkupScan.h"
#include "xml/XMLLimits.h"
#include "xml/XMLParser.h"
#include "xml/XMLProlog.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlreader.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct FreeDocument {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
struct FreeParser {
    void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};
using Document = std::unique_ptr<xmlDoc, FreeDocument>;
struct FreeReader {
    void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};
using Parser = std::unique_ptr<xmlParserCtxt, FreeParser>;
using Reader = std::unique_ptr<xmlTextReader, FreeReader>;

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
std::string_view content(const xmlNode* node)
{
    const std::string_view text = view(node->content);
    if (text.size() > kMaxTextBytes)
        throw BeyondLimits{};
    return text;
}

// The streaming reader hands out a CDATA section's carriage returns as the
// file has them; the whole-document parse, and every DOM, makes each line
// end one line feed, as XML asks. No reference can stand in such a section,
// so every carriage return in it is a line end.
std::string withLineFeeds(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        out += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return out;
}

// A character's code of one or two bytes; kLong for any other
// conversion (a character outside the plane, or one taken as several).
struct ShortCode {
    enum : unsigned char { kUnknown = 0, kLong = 3 };
    unsigned char length = kLong;
    char bytes[2] = {};
};

// Each character's code depends on nothing else: kept for the thread's life.
std::vector<ShortCode>& shortCodes()
{
    thread_local std::vector<ShortCode> codes(0x10000, ShortCode{ShortCode::kUnknown});
    return codes;
}

// Turns libxml2's nodes into XMLNodes as the DOM names them: "#text",
// "#cdata-section", "#comment", a processing instruction's target. Over a
// whole document each child is freed once it is read, so that the two
// trees are not held whole side by side; the streaming reader frees its
// nodes itself.
class TreeReader {
public:
    explicit TreeReader(bool freeEachChild) : freeAsRead(freeEachChild) {}

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
            return makeXMLNodes("#cdata-section", toShiftJis(withLineFeeds(content(child))));
        case XML_COMMENT_NODE: return makeXMLNodes("#comment", toShiftJis(content(child)));
        case XML_PI_NODE: return makeXMLNodes(toShiftJis(view(child->name)), toShiftJis(content(child)));
        default: return nullptr;
        }
    }

private:
    Iconv utf8ToShiftJis{"CP932", "UTF-8"};
    bool freeAsRead;
    std::vector<ShortCode>& codes = shortCodes();
    std::string scratch;

    // In the forms both platforms take, so that the same file gives the
    // same texts on both. Each character is converted once and remembered:
    // a large set has a million texts of a few thousand characters.
    std::string toShiftJis(std::string_view utf8)
    {
        // No character of the Basic Multilingual Plane takes more bytes in
        // code page 932 than in UTF-8; any other takes the long way. The
        // text is made in `scratch` and copied out at its exact size.
        if (scratch.size() < utf8.size())
            scratch.resize(utf8.size());
        char* next = scratch.data();
        std::string out;
        std::size_t i = 0;
        while (i < utf8.size()) {
            const std::size_t start = i;
            while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) < 0x80)
                ++i;
            next = std::copy(utf8.data() + start, utf8.data() + i, next);
            if (i == utf8.size())
                break;
            const std::size_t characterStart = i;
            const std::optional<char32_t> c = threeByteCharacter(utf8, i);
            if (!c) // libxml2 hands out UTF-8 only; this is what it was before
                return converted(utf8);
            const std::string_view character = utf8.substr(characterStart, i - characterStart);
            const ShortCode code = *c <= 0xFFFF ? shortCodeOf(*c, character) : ShortCode{};
            if (code.length == ShortCode::kLong) {
                out.append(scratch.data(), next);
                out += converted(character);
                next = scratch.data();
                continue;
            }
            next = std::copy_n(code.bytes, code.length, next);
        }
        out.append(scratch.data(), next);
        return out;
    }

    // Japanese text is mostly characters of three bytes: those are read
    // here, any other by the general reader.
    static std::optional<char32_t> threeByteCharacter(std::string_view utf8, std::size_t& i)
    {
        if (utf8.size() - i >= 3) {
            const auto b0 = static_cast<unsigned char>(utf8[i]), b1 = static_cast<unsigned char>(utf8[i + 1]),
                       b2 = static_cast<unsigned char>(utf8[i + 2]);
            const char32_t c = (b0 & 0x0Fu) << 12 | (b1 & 0x3Fu) << 6 | (b2 & 0x3Fu);
            if ((b0 & 0xF0) == 0xE0 && (b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
                i += 3;
                return c;
            }
        }
        return nextCodePoint(utf8, i);
    }

    ShortCode shortCodeOf(char32_t c, std::string_view character)
    {
        ShortCode& code = codes[c];
        if (code.length == ShortCode::kUnknown) {
            const std::string bytes = converted(character);
            code.length = ShortCode::kLong;
            if (bytes.size() <= 2 && bytes.size() <= character.size()) {
                code.length = static_cast<unsigned char>(bytes.size());
                bytes.copy(code.bytes, bytes.size());
            }
        }
        return code;
    }

    // One character, or what is not one, as the lossy conversion takes it.
    std::string converted(std::string_view utf8)
    {
        if (const std::optional<std::string> forms = utf8InCodePage932Forms(utf8))
            return utf8ToShiftJis.convertFromUtf8Lossy(*forms);
        return utf8ToShiftJis.convertFromUtf8Lossy(utf8);
    }

    XMLNodesList readChildren(const xmlNode* parent, int depth)
    {
        XMLNodesList children;
        xmlNode* next = nullptr;
        for (xmlNode* child = parent->children; child; child = next) {
            next = child->next;
            if (XMLNodesPtr node = readChild(child, depth))
                children.push_back(std::move(node));
            if (freeAsRead) {
                xmlUnlinkNode(child);
                xmlFreeNode(child);
            }
        }
        return children;
    }
};

// libxml2's own messages quote the file and are English: none reaches the
// user; what failed is told in the program's words.
void dropMessage(void*, const char*, ...) {}

// The file's text as libxml2 is given it: UTF-8 without its declared
// encoding, padded at the end; nothing for what is refused before parsing.
std::optional<std::string> parserText(XMLSource source)
{
    std::optional<std::string> text = decodeToUtf8(std::move(source));
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

// Any error refuses the file, as a document that is not well-formed, or
// not namespace-well-formed, is refused; warnings do not. libxml2's own
// words never reach the user.
void noteError(void* refused, xmlErrorPtr error)
{
    if (error && error->level >= XML_ERR_ERROR)
        *static_cast<bool*>(refused) = true;
}

// Reads from the current node, a child of the document element, to its
// end; moves on to what follows. Status as xmlTextReaderRead.
int readChildOfRoot(xmlTextReader* reader, TreeReader& tree, const std::function<void(const XMLNodes&)>& each)
{
    const xmlNode* node = xmlTextReaderExpand(reader);
    if (!node)
        return -1;
    if (const XMLNodesPtr child = tree.readChild(node, 1))
        each(*child);
    return xmlTextReaderNext(reader);
}

} // namespace

XMLNodesPtr parseXMLSource(XMLSource source)
{
    std::optional<std::string> text = parserText(std::move(source));
    if (!text)
        return nullptr;
    Parser parser(xmlNewParserCtxt());
    if (!parser)
        return nullptr;
    Document document(xmlCtxtReadMemory(parser.get(), text->data(), static_cast<int>(text->size()), nullptr, "UTF-8",
                                         kParseOptions));
    // The document holds copies of everything it needs.
    text.reset();
    // A prefix without its declaration is an error to MSXML as well.
    if (!document || !parser->wellFormed || !parser->nsWellFormed || document->intSubset)
        return nullptr;
    const xmlNode* root = xmlDocGetRootElement(document.get());
    if (!root)
        return nullptr;
    try {
        return TreeReader(true).readElement(root, 1);
    } catch (const BeyondLimits&) {
        return nullptr;
    }
}

bool streamXMLSource(XMLSource source, const std::function<void(const XMLNodes&)>& each)
{
    const std::optional<std::string> text = parserText(std::move(source));
    if (!text)
        return false;
    Reader reader(xmlReaderForMemory(text->data(), static_cast<int>(text->size()), nullptr, "UTF-8", kParseOptions));
    if (!reader)
        return false;
    bool refused = false;
    xmlTextReaderSetStructuredErrorHandler(reader.get(), noteError, &refused);
    TreeReader tree(false);
    bool sawRoot = false;
    try {
        int status = xmlTextReaderRead(reader.get());
        while (status == 1 && !refused) {
            const int type = xmlTextReaderNodeType(reader.get());
            if (type == XML_READER_TYPE_DOCUMENT_TYPE)
                return false;
            if (xmlTextReaderDepth(reader.get()) == 1) {
                status = readChildOfRoot(reader.get(), tree, each);
                continue;
            }
            sawRoot = sawRoot || type == XML_READER_TYPE_ELEMENT;
            status = xmlTextReaderRead(reader.get());
        }
        return status == 0 && !refused && sawRoot;
    } catch (const BeyondLimits&) {
        return false;
    }
}
