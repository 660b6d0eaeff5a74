#include "xml/XMLName.h"

#include "text/ShiftJis.h"

namespace {

bool inRange(char32_t c, char32_t low, char32_t high)
{
    return c >= low && c <= high;
}

// NameStartChar of XML 1.0, fifth edition, without ':'.
bool isNameStartChar(char32_t c)
{
    return inRange(c, 'A', 'Z') || c == '_' || inRange(c, 'a', 'z') || inRange(c, 0xC0, 0xD6) ||
           inRange(c, 0xD8, 0xF6) || inRange(c, 0xF8, 0x2FF) || inRange(c, 0x370, 0x37D) ||
           inRange(c, 0x37F, 0x1FFF) || inRange(c, 0x200C, 0x200D) || inRange(c, 0x2070, 0x218F) ||
           inRange(c, 0x2C00, 0x2FEF) || inRange(c, 0x3001, 0xD7FF) || inRange(c, 0xF900, 0xFDCF) ||
           inRange(c, 0xFDF0, 0xFFFD) || inRange(c, 0x10000, 0xEFFFF);
}

bool isNameChar(char32_t c)
{
    return isNameStartChar(c) || c == '-' || c == '.' || inRange(c, '0', '9') || c == 0xB7 ||
           inRange(c, 0x300, 0x36F) || inRange(c, 0x203F, 0x2040);
}

template <class Text>
bool isName(const Text& name)
{
    if (name.empty() || !isNameStartChar(static_cast<char32_t>(name[0])))
        return false;
    for (auto c : name)
        if (!isNameChar(static_cast<char32_t>(c)))
            return false;
    return true;
}

} // namespace

bool isXmlElementName(std::string_view name)
{
    // Element names are nearly always ASCII: no decoding for them.
    if (isAscii(name))
        return isName(name);
    std::optional<std::u32string> decoded = decodeShiftJis(name);
    return decoded && isName(*decoded);
}
