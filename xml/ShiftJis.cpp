#include "xml/ShiftJis.h"

namespace {

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// ASCII and the half-width katakana. 0x80, 0xA0 and 0xFD-0xFF are refused
// although some conversions accept them, so that both platforms agree.
bool isSingleByte(unsigned char b)
{
    return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

} // namespace

bool isAscii(std::string_view bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool hasShiftJisStructure(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (isSingleByte(b))
            continue;
        if (!isLeadByte(b) || i + 1 == bytes.size() || !isTrailByte(static_cast<unsigned char>(bytes[i + 1])))
            return false;
        ++i;
    }
    return true;
}

bool isValidShiftJis(std::string_view bytes)
{
    return isAscii(bytes) || (hasShiftJisStructure(bytes) && isAssignedInCodePage932(bytes));
}
