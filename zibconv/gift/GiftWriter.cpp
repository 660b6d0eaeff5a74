#include "zibconv/gift/GiftWriter.h"

#include "review/FindingText.h"
#include "review/TextFolding.h"
#include "text/ShiftJisToUtf8.h"
#include "text/Unicode.h"

#include <algorithm>

namespace {

// Question texts and choices are written as [html], their line breaks as
// <br>. Moodle's default format for GIFT ("moodle") takes a text's own tags
// and references as HTML, so "<b>" or "&amp;" typed in a set would show as
// bold or as "&"; escaped in [html] they show as typed, a break is an
// element that Moodle's trimming and its HTML editor keep, and the
// question is stored in the format Moodle's own editor writes. A short
// answer's accepted answer is compared with what the student types and is
// never shown as HTML: it stays plain, its breaks as GIFT's own "\n".
// Neither Moodle nor other GIFT readers let a short answer hold "->": one
// that does is taken for a matching question (GIFT has no escape for it).
constexpr std::string_view kHtmlFormat = "[html]";
constexpr std::string_view kPlainFormat = "[plain]";

// The characters GIFT reads as its own, escaped wherever they stand.
constexpr std::string_view kGiftSpecials = "~=#{}:\\";

void appendGiftEscaped(std::string& out, std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\r' || c == '\n') {
            // CR LF, a lone CR and a lone LF are one break each.
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            out += "\\n";
            continue;
        }
        if (kGiftSpecials.find(c) != std::string_view::npos)
            out += '\\';
        out += c;
    }
}

// UTF-8 as HTML content: & < > as references, each break as <br>.
std::string htmlOfUtf8(std::string_view utf8)
{
    std::string html;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
        case '&': html += "&amp;"; break;
        case '<': html += "&lt;"; break;
        case '>': html += "&gt;"; break;
        case '\r':
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            [[fallthrough]];
        case '\n': html += "<br>"; break;
        default: html += c;
        }
    }
    return html;
}

// A text as the player sees it, in UTF-8: a blank one (spaces and breaks
// alone) as nothing. False when it is no Shift-JIS.
bool appendShown(std::string& utf8, std::string_view shiftJis)
{
    return isBlankText(shiftJis) || appendShiftJisAsUtf8(shiftJis, utf8);
}

// Moodle reads a leading "%n%" of a choice or an accepted answer as its
// weight, and a leading "[name]" as its format, once it has trimmed the
// spaces and tabs before it (left out here). A choice is HTML: such a
// start is written as a character reference. A short answer is plain: its
// weight and format are written before it, so that its own start is kept.
std::string_view withoutLeadingSpaces(std::string_view utf8)
{
    return utf8.substr(std::min(utf8.find_first_not_of(" \t"), utf8.size()));
}

std::string choiceText(std::string_view utf8)
{
    std::string html = htmlOfUtf8(withoutLeadingSpaces(utf8));
    if (html.starts_with('%'))
        html.replace(0, 1, "&#37;");
    else if (html.starts_with('['))
        html.replace(0, 1, "&#91;");
    std::string out;
    appendGiftEscaped(out, html);
    return out;
}

std::string shortAnswerText(std::string_view utf8)
{
    utf8 = withoutLeadingSpaces(utf8);
    std::string out;
    if (utf8.starts_with('%'))
        out += "%100%";
    if (utf8.starts_with('['))
        out += kPlainFormat;
    appendGiftEscaped(out, utf8);
    return out;
}

class LineWriter {
public:
    LineWriter(const ProblemKind& lineKind, const ProblemBase& problem)
        : kind(lineKind), texts(kind.textsOf(problem)), verdict(playVerdict(problem))
    {
    }

    // The question of one line without its title; false when a text is no
    // Shift-JIS.
    bool write(std::string& out)
    {
        std::string stem;
        if (!appendStem(stem))
            return false;
        // An empty text takes no format: GIFT readers other than Moodle's
        // want text after one.
        if (!stem.empty())
            out += kHtmlFormat;
        appendGiftEscaped(out, stem);
        out += '{';
        if (!appendAnswers(out))
            return false;
        out += '}';
        return true;
    }

    const ProblemKind& kind;
    const TextList texts;
    const PlayVerdict verdict;

private:
    const std::string& answer() const { return texts[*kind.positionOf(Field::Answer, 0)]; }

    // The question, the association's hints in order, and what the player
    // works with where the line plays as its kind.
    bool appendStem(std::string& html) const
    {
        std::string utf8;
        if (const std::optional<std::size_t> question = kind.positionOf(Field::Question, 0)) {
            if (!appendShown(utf8, texts[*question]))
                return false;
            html += htmlOfUtf8(utf8);
        }
        const std::vector<std::size_t> hints = kind.positionsOf(Field::Hint);
        if (!hints.empty()) {
            html += "<ol>";
            for (std::size_t i : hints) {
                utf8.clear();
                if (!appendShown(utf8, texts[i]))
                    return false;
                html += "<li>" + htmlOfUtf8(utf8) + "</li>";
            }
            html += "</ol>";
        }
        if (verdict.mode == PlayMode::Tiles)
            appendTiles(html);
        if (verdict.mode == PlayMode::Reels)
            return appendReels(html);
        return true;
    }

    // A rearrangement's characters or the panels, in the order of their
    // code points: no chance (both programs write the same bytes), and
    // not the answer's order.
    void appendTiles(std::string& html) const
    {
        std::vector<std::string> tiles;
        for (const PlayPiece& piece : verdict.pieces)
            tiles.push_back(encodeUtf8(piece.shown));
        std::sort(tiles.begin(), tiles.end());
        html += "<ul>";
        for (const std::string& tile : tiles)
            html += "<li>" + htmlOfUtf8(tile) + "</li>";
        html += "</ul>";
    }

    // Each reel that is not blank, with its label, as written.
    bool appendReels(std::string& html) const
    {
        html += "<ul>";
        for (std::size_t i : kind.positionsOf(Field::Reel)) {
            if (isBlankText(texts[i]))
                continue;
            std::string utf8;
            if (!appendShiftJisAsUtf8(fieldLabel(fieldPlaceOf(kind, i)) + ": " + texts[i], utf8))
                return false;
            html += "<li>" + htmlOfUtf8(utf8) + "</li>";
        }
        html += "</ul>";
        return true;
    }

    bool appendAnswers(std::string& out) const
    {
        std::string utf8;
        if (!appendShown(utf8, answer()))
            return false;
        if (verdict.mode == PlayMode::Choice && kind.tag == OX) {
            out += verdict.answer == U"○" ? "T" : "F";
            return true;
        }
        // No answer to accept: an essay, which Moodle leaves to the teacher
        // to grade (a short answer that accepts nothing, "{=}", is no GIFT
        // to other readers and no response could match it).
        if (verdict.fallback == Fallback::BlankAnswer)
            return true;
        if (verdict.mode != PlayMode::Choice) {
            out += "=" + shortAnswerText(utf8);
            return true;
        }
        out += "=" + choiceText(utf8);
        for (std::size_t i : kind.positionsOf(Field::Dummy)) {
            if (isBlankText(texts[i]))
                continue;
            utf8.clear();
            if (!appendShiftJisAsUtf8(texts[i], utf8))
                return false;
            out += " ~" + choiceText(utf8);
        }
        return true;
    }
};

} // namespace

bool isOnlyShortAnswer(const ProblemKind& kind)
{
    return kind.tag == NARABEKAE || kind.tag == PANEL || kind.tag == SLOT;
}

GiftWriter::GiftWriter(std::string_view setName) : name(setName), kindsSeen(problemKinds().size()) {}

bool GiftWriter::appendLine(std::string& out, ProblemPlace place, const ProblemBase& problem)
{
    const ProblemKind* kind = findKind(problem.type);
    ++lines;
    if (!kind)
        return true;
    LineWriter line(*kind, problem);
    out += "\n::" + std::to_string(lines) + "::";
    if (!line.write(out))
        return false;
    out += '\n';
    kindsSeen[kind->tag] = true;
    if (line.verdict.mode == PlayMode::Reveal)
        fallen.push_back({lines, place, kind, line.verdict.fallback});
    return true;
}

bool GiftWriter::add(const ProblemBase& problem)
{
    ++problems;
    const std::size_t firstLine = lines + 1;
    const std::size_t fallenBefore = fallen.size();
    // Moodle takes a block of lines that starts with $CATEGORY: whole as the
    // category's path, without GIFT's escapes: the name is written as it is
    // (a file's name holds no "/", which would part the path).
    std::string block = std::string(gift.empty() ? "" : "\n") + "$CATEGORY: " + name + "/" + std::to_string(firstLine) + "\n";
    bool written = appendLine(block, {problems, 0}, problem);
    const ProblemRefs branches = problem.getBranches();
    for (std::size_t j = 0; written && j < branches.size(); ++j)
        written = appendLine(block, {problems, j + 1}, *branches[j]);
    if (!written) {
        fallen.resize(fallenBefore);
        return false;
    }
    gift += block;
    return true;
}

std::vector<const ProblemKind*> GiftWriter::shortAnswerKinds() const
{
    std::vector<const ProblemKind*> kinds;
    for (const ProblemKind& kind : problemKinds())
        if (kindsSeen[kind.tag] && isOnlyShortAnswer(kind))
            kinds.push_back(&kind);
    return kinds;
}

std::optional<std::string> giftOf(std::string_view setName, const ProblemList& problems)
{
    GiftWriter writer(setName);
    for (const ProblemPtr& problem : problems)
        if (!writer.add(*problem))
            return std::nullopt;
    return writer.bytes();
}
