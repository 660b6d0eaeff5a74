#include "xml/ComSupport.h"
#include "xml/MarkupScan.h"
#include "xml/MsxmlIds.h"
#include "text/WideText.h"
#include "xml/XMLLimits.h"
#include "xml/XMLParser.h"
#include "xml/XMLProlog.h"

namespace {

// Bytes of the text in UTF-8, as libxml2 counts them for its limit.
std::size_t utf8Length(std::wstring_view text)
{
    std::size_t length = 0;
    for (wchar_t c : text)
        length += c < 0x80 ? 1 : c < 0x800 || (c >= 0xD800 && c <= 0xDFFF) ? 2 : 3;
    return length;
}

// The node's value, kept in `value`: a load converts every text of the file
// and need not copy each one on the way. A text beyond the limit that the
// native reader holds fails the load, as it does there.
std::wstring_view valueOf(IXMLDOMNode* node, Variant& value)
{
    check(node->get_nodeValue(value.get()));
    VARIANT* held = value.get();
    if (held->vt == VT_NULL || held->vt == VT_EMPTY)
        return std::wstring_view();
    if (held->vt != VT_BSTR)
        check(VariantChangeType(held, held, 0, VT_BSTR));
    const std::wstring_view text(held->bstrVal, SysStringLen(held->bstrVal));
    if (text.size() * 3 > kMaxTextBytes && utf8Length(text) > kMaxTextBytes)
        throw _com_error(E_FAIL);
    return text;
}

std::string shiftJisValueOf(IXMLDOMNode* node)
{
    Variant value;
    return wideToShiftJis(valueOf(node, value));
}

std::string nameOf(IXMLDOMNode* node)
{
    Bstr name;
    check(node->get_nodeName(name.put()));
    return wideToShiftJis(name.view());
}

// Walks the DOM by first child and next sibling: asking a node list for
// item i costs time in i under Wine, which makes the walk quadratic.
class DomReader {
public:
    XMLNodesPtr readElement(IXMLDOMNode* element, int depth)
    {
        if (depth > kMaxElementDepth)
            throw _com_error(E_FAIL);
        XMLNodesPtr node = makeXMLNodes(nameOf(element));
        node->addChildren(readChildren(element, depth));
        return node;
    }

    // Calls `each` with every child of `parent` read, one at a time.
    template <class Each>
    void forEachChild(IXMLDOMNode* parent, int depth, Each each)
    {
        ComPtr<IXMLDOMNode> child;
        check(parent->get_firstChild(child.put()));
        while (child) {
            if (XMLNodesPtr node = readChild(child.get(), depth))
                each(std::move(node));
            ComPtr<IXMLDOMNode> next;
            check(child->get_nextSibling(next.put()));
            child = std::move(next);
        }
    }

private:
    XMLNodesList readChildren(IXMLDOMNode* parent, int depth)
    {
        XMLNodesList children;
        forEachChild(parent, depth, [&children](XMLNodesPtr node) { children.push_back(std::move(node)); });
        return children;
    }

    // Named as the DOM names them; null for what is not delivered.
    XMLNodesPtr readChild(IXMLDOMNode* child, int depth)
    {
        DOMNodeType type = NODE_INVALID;
        check(child->get_nodeType(&type));
        switch (type) {
        case NODE_ELEMENT: return readElement(child, depth + 1);
        case NODE_TEXT: {
            Variant value;
            const std::wstring_view text = valueOf(child, value);
            if (isXmlSpaceOnly(text))
                return nullptr;
            return makeXMLNodes(std::string(kTextNodeName), wideToShiftJis(text));
        }
        case NODE_CDATA_SECTION: return makeXMLNodes(std::string(kCdataNodeName), shiftJisValueOf(child));
        case NODE_COMMENT: return makeXMLNodes(std::string(kCommentNodeName), shiftJisValueOf(child));
        case NODE_PROCESSING_INSTRUCTION: return makeXMLNodes(nameOf(child), shiftJisValueOf(child));
        default: return nullptr;
        }
    }
};

void setProperty(IXMLDOMDocument2* document, const wchar_t* name, VARIANT value, bool mayBeUnknown)
{
    const HRESULT result = document->setProperty(Bstr(name).get(), value);
    // Wine's DOM does not know every property of MSXML 6 and says E_FAIL;
    // what such a property guards is also checked here.
    if (mayBeUnknown && result == E_FAIL)
        return;
    check(result);
}

void configure(IXMLDOMDocument* document)
{
    check(document->put_async(VARIANT_FALSE));
    check(document->put_validateOnParse(VARIANT_FALSE));
    check(document->put_resolveExternals(VARIANT_FALSE));
    check(document->put_preserveWhiteSpace(VARIANT_TRUE));
    ComPtr<IXMLDOMDocument2> document2;
    check(document->QueryInterface(ZIB_MSXML_DOCUMENT2, document2.putVoid()));
    VARIANT prohibit;
    prohibit.vt = VT_BOOL;
    prohibit.boolVal = VARIANT_TRUE;
    setProperty(document2.get(), L"ProhibitDTD", prohibit, false);
    VARIANT depth;
    depth.vt = VT_I4;
    depth.lVal = kMaxElementDepth;
    setProperty(document2.get(), L"MaxElementDepth", depth, true);
}

// Parses the text into the DOM and hands its document element to `read`.
// The text is let go once the DOM has its string, and that string once the
// DOM holds the document. False for every failure.
template <class Read>
bool readDocumentElement(std::wstring text, Read read)
{
    ComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(ZIB_MSXML_CLSID, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                document.putVoid())))
        return false;
    try {
        configure(document.get());
        VARIANT_BOOL loaded = VARIANT_FALSE;
        Bstr xml(text);
        std::wstring().swap(text);
        check(document->loadXML(xml.get(), &loaded));
        xml.reset();
        if (loaded != VARIANT_TRUE)
            return false;
        // Wine's DOM accepts a document type in spite of ProhibitDTD.
        ComPtr<IXMLDOMDocumentType> documentType;
        check(document->get_doctype(documentType.put()));
        if (documentType)
            return false;
        ComPtr<IXMLDOMElement> element;
        check(document->get_documentElement(element.put()));
        if (!element)
            return false;
        ComPtr<IXMLDOMNode> root;
        check(element->QueryInterface(IID_IXMLDOMNode, root.putVoid()));
        read(root.get());
        return true;
    } catch (const _com_error&) {
        return false;
    }
}

// The file's text as the DOM is given it; nothing for what is refused
// before parsing.
std::optional<std::wstring> domText(XMLSource source)
{
    std::optional<std::wstring> text = decodeToWide(source.encoding, source.bytes);
    std::string().swap(source.bytes);
    // The DOM would end the text at a NUL; no XML text holds one.
    if (!text || text->find(L'\0') != std::wstring::npos)
        return std::nullopt;
    // The text is UTF-16 now: Wine's DOM fails on the name SHIFT_JIS.
    blankDeclaredEncoding(*text);
    padDocumentEnd(*text);
    if (hasDocumentType(std::wstring_view(*text)) || hasTooManyAttributes(std::wstring_view(*text)))
        return std::nullopt;
    return text;
}

} // namespace

XMLNodesPtr parseXMLSource(XMLSource source)
{
    std::optional<std::wstring> text = domText(std::move(source));
    ComApartment apartment;
    if (!text || !apartment.ready())
        return nullptr;
    XMLNodesPtr tree;
    if (!readDocumentElement(std::move(*text), [&tree](IXMLDOMNode* root) { tree = DomReader().readElement(root, 1); }))
        return nullptr;
    return tree;
}

// The DOM is read whole first, but each child of the document element
// becomes a tree of ours only while `each` looks at it.
bool streamXMLSource(XMLSource source, const std::function<void(const XMLNodes&)>& each)
{
    std::optional<std::wstring> text = domText(std::move(source));
    ComApartment apartment;
    if (!text || !apartment.ready())
        return false;
    return readDocumentElement(std::move(*text), [&each](IXMLDOMNode* root) {
        DomReader().forEachChild(root, 1, [&each](XMLNodesPtr child) { each(*child); });
    });
}
