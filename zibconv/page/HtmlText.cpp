#include "zibconv/page/HtmlText.h"

#include "text/ShiftJis.h"
#include "text/ShiftJisToUtf8.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Runs of plain text go in whole; only the `special` characters are replaced.
void appendEscaped(std::string& page, std::string_view utf8, std::string_view special)
{
    std::size_t from = 0;
    for (std::size_t at = utf8.find_first_of(special); at != std::string_view::npos;
         at = utf8.find_first_of(special, from)) {
        page.append(utf8, from, at - from);
        from = at + 1;
        switch (utf8[at]) {
        case '&': page += "&amp;"; break;
        case '<': page += "&lt;"; break;
        case '>': page += "&gt;"; break;
        case '"': page += "&quot;"; break;
        case '\'': page += "&#39;"; break;
        default: // CR LF or a lone CR: one line feed
            page += '\n';
            if (from < utf8.size() && utf8[from] == '\n')
                ++from;
        }
    }
    page.append(utf8, from);
}

} // namespace

void appendHtmlUtf8(std::string& page, std::string_view utf8)
{
    appendEscaped(page, utf8, "&<>\"'\r");
}

void appendSingleQuotedUtf8(std::string& page, std::string_view utf8)
{
    appendEscaped(page, utf8, "&<>'\r");
}

void appendShownUtf8(std::string& utf8, std::string_view shiftJis)
{
    const std::size_t start = utf8.size();
    if (appendShiftJisAsUtf8(shiftJis, utf8))
        return;
    // Character by character, so that only what is no text is replaced.
    utf8.resize(start);
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

void appendHtmlText(std::string& page, std::string_view shiftJis)
{
    // One buffer for every text: a page has hundreds of thousands.
    thread_local std::string utf8;
    utf8.clear();
    appendShownUtf8(utf8, shiftJis);
    appendHtmlUtf8(page, utf8);
}
