#include "zibconv/page/HtmlText.h"

#include "xml/ShiftJis.h"
#include "xml/ShiftJisToUtf8.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

} // namespace

void appendHtmlUtf8(std::string& page, std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
        case '&': page += "&amp;"; break;
        case '<': page += "&lt;"; break;
        case '>': page += "&gt;"; break;
        case '"': page += "&quot;"; break;
        case '\'': page += "&#39;"; break;
        case '\r':
            page += '\n';
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            break;
        default: page += c;
        }
    }
}

void appendHtmlText(std::string& page, std::string_view shiftJis)
{
    std::string utf8;
    utf8.reserve(shiftJis.size() * 3 / 2);
    if (!appendShiftJisAsUtf8(shiftJis, utf8)) {
        // Character by character, so that only what is no text is replaced.
        utf8.clear();
        for (std::size_t i = 0; i < shiftJis.size();) {
            const bool pair = i + 1 < shiftJis.size() && isShiftJisLeadByte(static_cast<unsigned char>(shiftJis[i]));
            const std::size_t length = pair ? 2 : 1;
            std::string part;
            if (appendShiftJisAsUtf8(shiftJis.substr(i, length), part)) {
                utf8 += part;
                i += length;
            } else {
                utf8 += kReplacement;
                ++i;
            }
        }
    }
    appendHtmlUtf8(page, utf8);
}
