#include "zibconv/page/PageData.h"

#include "review/TextFolding.h"
#include "text/Unicode.h"

namespace {

// A JSON string of any code points: every control character escaped, so
// that each comes back as it was (a carriage return too, which HTML text
// cannot carry).
void appendJsonString(std::string& json, std::u32string_view text)
{
    constexpr char hex[] = "0123456789abcdef";
    json += '"';
    // Runs of characters that stand as themselves are encoded whole.
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        const bool quoted = c == U'"' || c == U'\\';
        if (!quoted && c >= 0x20 && (c < 0x7F || c > 0x9F))
            continue;
        json += encodeUtf8(text.substr(run, i - run));
        run = i + 1;
        if (quoted) {
            json += '\\';
            json += static_cast<char>(c);
        } else {
            json += "\\u00";
            json += hex[c >> 4];
            json += hex[c & 0xF];
        }
    }
    json += encodeUtf8(text.substr(run));
    json += '"';
}

const char* modeName(PlayMode mode)
{
    switch (mode) {
    case PlayMode::Reveal: return "reveal";
    case PlayMode::Choice: return "choice";
    case PlayMode::Tiles: return "tiles";
    case PlayMode::Reels: return "reels";
    }
    return "reveal";
}

// As JavaScript's toLowerCase takes the letters of code page 932 (the
// full-width ones are folded to ASCII before).
char32_t lowerCase(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) // Ё and the others before А
        return c + 0x50;
    if (c >= 0x2160 && c <= 0x216F) // Roman numerals
        return c + 0x10;
    if (c == 0x212B) // the angstrom sign
        return 0xE5;
    return c;
}

} // namespace

std::string playJson(const PlayVerdict& verdict)
{
    std::string json = std::string("{\"mode\":\"") + modeName(verdict.mode) + "\"";
    if (verdict.mode == PlayMode::Reveal)
        return json + "}";
    json += ",\"answer\":";
    appendJsonString(json, verdict.answer);
    if (verdict.inOrder)
        json += ",\"inOrder\":true";
    if (!verdict.pieces.empty()) {
        json += ",\"pieces\":[";
        for (std::size_t i = 0; i < verdict.pieces.size(); ++i) {
            const PlayPiece& piece = verdict.pieces[i];
            json += i ? "," : "";
            if (piece.shown == piece.folded) {
                appendJsonString(json, piece.folded);
                continue;
            }
            json += '[';
            appendJsonString(json, piece.shown);
            json += ',';
            appendJsonString(json, piece.folded);
            json += ']';
        }
        json += ']';
    }
    if (!verdict.reels.empty()) {
        json += ",\"reels\":[";
        for (std::size_t r = 0; r < verdict.reels.size(); ++r) {
            json += r ? ",[" : "[";
            for (std::size_t i = 0; i < verdict.reels[r].size(); ++i) {
                json += i ? "," : "";
                appendJsonString(json, verdict.reels[r][i]);
            }
            json += ']';
        }
        json += ']';
    }
    return json + "}";
}

std::string foldingJson()
{
    // The same for every page: made once.
    static const std::string json = [] {
        std::string made = "{\"chars\":{";
        bool first = true;
        for (char32_t c = 1; c <= 0xFFFF; ++c) {
            const char32_t folded = lowerCase(widthFolded(c));
            if ((c >= 0xD800 && c <= 0xDFFF) || folded == c)
                continue;
            made += first ? "" : ",";
            first = false;
            appendJsonString(made, std::u32string_view(&c, 1));
            made += ':';
            appendJsonString(made, std::u32string_view(&folded, 1));
        }
        // What a folded character and a folded voiced mark join to.
        made += "},\"joined\":{";
        first = true;
        for (const char32_t mark : {widthFolded(0xFF9E), widthFolded(0xFF9F)})
            for (char32_t c = 1; c <= 0xFFFF; ++c) {
                if ((c >= 0xD800 && c <= 0xDFFF) || lowerCase(widthFolded(c)) != c)
                    continue;
                const std::u32string pair = {c, mark};
                const std::u32string joined = widthsFolded(pair);
                if (joined.size() != 1)
                    continue;
                made += first ? "" : ",";
                first = false;
                appendJsonString(made, pair);
                made += ':';
                appendJsonString(made, joined);
            }
        return made + "}}";
    }();
    return json;
}
