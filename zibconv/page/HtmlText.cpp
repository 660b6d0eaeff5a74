#include "zibconv/page/HtmlText.h"

#include "text/ShiftJis.h"
#include "text/ShiftJisToUtf8.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Which bytes a text's escaping replaces, by byte: looked up, not searched
// for, since every byte of a page's texts is asked.
struct SpecialBytes {
    explicit constexpr SpecialBytes(std::string_view special)
    {
        for (const char c : special)
            replaced[static_cast<unsigned char>(c)] = true;
    }
    bool replaced[256] = {};
};

constexpr SpecialBytes kInText("&<>\"'\r");
constexpr SpecialBytes kInSingleQuotes("&<>'\r");

std::size_t nextSpecial(std::string_view utf8, std::size_t from, const SpecialBytes& special)
{
    while (from < utf8.size() && !special.replaced[static_cast<unsigned char>(utf8[from])])
        ++from;
    return from == utf8.size() ? std::string_view::npos : from;
}

// Runs of plain text go in whole; only the `special` bytes are replaced.
void appendEscaped(std::string& page, std::string_view utf8, const SpecialBytes& special)
{
    std::size_t from = 0;
    for (std::size_t at = nextSpecial(utf8, 0, special); at != std::string_view::npos;
         at = nextSpecial(utf8, from, special)) {
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
    appendEscaped(page, utf8, kInText);
}

void appendSingleQuotedUtf8(std::string& page, std::string_view utf8)
{
    appendEscaped(page, utf8, kInSingleQuotes);
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
    // Most texts hold nothing to escape: they go into the page as they are
    // converted, and only the others are escaped again from a copy.
    const std::size_t start = page.size();
    appendShownUtf8(page, shiftJis);
    const std::string_view shown = std::string_view(page).substr(start);
    if (nextSpecial(shown, 0, kInText) == std::string_view::npos)
        return;
    thread_local std::string utf8; // one buffer for every text of a page
    utf8.assign(shown);
    page.resize(start);
    appendHtmlUtf8(page, utf8);
}
