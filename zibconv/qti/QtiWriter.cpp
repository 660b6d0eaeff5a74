#include "zibconv/qti/QtiWriter.h"

#include "review/TextFolding.h"
#include "text/ShiftJisToUtf8.h"
#include "text/Unicode.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <utility>

namespace {

constexpr std::string_view kItemHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<assessmentItem xmlns=\"http://www.imsglobal.org/xsd/imsqti_v2p1\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.imsglobal.org/xsd/imsqti_v2p1 "
    "http://www.imsglobal.org/xsd/qti/qtiv2p1/imsqti_v2p1.xsd\" ";

constexpr std::string_view kScore =
    "<outcomeDeclaration identifier=\"SCORE\" cardinality=\"single\" baseType=\"float\">"
    "<defaultValue><value>0</value></defaultValue></outcomeDeclaration>\n";

// XML 1.0 holds no other control characters; a set loaded from its file
// has none, but the editor's fields could.
bool isXmlCharacter(unsigned char c)
{
    return c >= 0x20 || c == '\t' || c == '\n' || c == '\r';
}

// UTF-8 as XML content or an attribute's value. `breaks`: each line break
// (CR LF, a lone CR or LF) as <br/>; else a CR as a reference, which a
// reader would otherwise turn into LF.
void appendEscaped(std::string& out, std::string_view utf8, bool breaks)
{
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r':
            if (!breaks) {
                out += "&#13;";
                break;
            }
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            [[fallthrough]];
        case '\n':
            if (breaks)
                out += "<br/>";
            else
                out += c;
            break;
        default:
            if (isXmlCharacter(static_cast<unsigned char>(c)))
                out += c;
        }
    }
}

std::string escaped(std::string_view utf8, bool breaks = true)
{
    std::string out;
    appendEscaped(out, utf8, breaks);
    return out;
}

std::string lineId(std::size_t line)
{
    return "line-" + std::to_string(line);
}

std::string itemPath(std::size_t line)
{
    return "items/" + lineId(line) + ".xml";
}

void appendIdentifierValue(std::string& out, std::string_view id)
{
    out += "<baseValue baseType=\"identifier\">";
    out += id;
    out += "</baseValue>";
}

// One choice, tile or reel option: its identifier and its text in UTF-8.
struct Choice {
    std::string id;
    std::string utf8;
};

// Pieces listed in the order of their texts' bytes: the same in both
// programs, and not the answer's order (a player shuffles them again).
std::vector<std::size_t> listingOrder(const std::vector<std::string>& texts)
{
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return texts[a] < texts[b]; });
    return order;
}

// The ways of spelling `answer` from tiles, each a run of tile groups (the
// tiles that fold alike are one group; a group gives as many tiles as it
// has): every run whose tiles, placed one after the other, equal it.
class Spellings {
public:
    Spellings(std::u32string_view answerText, const std::vector<std::u32string>& groupTexts,
              std::vector<std::size_t> groupSizes)
        : answer(answerText), texts(groupTexts), left(std::move(groupSizes))
    {
        walk(0);
    }

    std::vector<std::vector<std::size_t>> runs;
    bool cut = false;

private:
    std::u32string_view answer;
    const std::vector<std::u32string>& texts;
    std::vector<std::size_t> left;
    std::vector<std::size_t> run;

    void walk(std::size_t at)
    {
        if (cut)
            return;
        if (at == answer.size()) {
            cut = runs.size() == kMostSpellings;
            if (!cut)
                runs.push_back(run);
            return;
        }
        for (std::size_t group = 0; group < texts.size(); ++group) {
            const std::u32string& text = texts[group];
            if (left[group] == 0 || text.empty() || !answer.substr(at).starts_with(text))
                continue;
            --left[group];
            run.push_back(group);
            walk(at + text.size());
            run.pop_back();
            ++left[group];
        }
    }
};

class ItemWriter {
public:
    ItemWriter(const ProblemKind& lineKind, const ProblemBase& problem, std::size_t lineNumber)
        : kind(lineKind), texts(kind.textsOf(problem)), verdict(playVerdict(problem)), line(lineNumber)
    {
    }

    std::optional<std::string> write()
    {
        for (const std::string& text : texts)
            if (!decodedText(text))
                return std::nullopt;
        appendStem();
        switch (verdict.mode) {
        case PlayMode::Choice: writeChoice(); break;
        case PlayMode::Tiles: writeTiles(); break;
        case PlayMode::Reels: writeReels(); break;
        case PlayMode::Reveal: writeTextEntry(); break;
        }
        // One string, appended to in place: a set has tens of thousands of
        // items.
        const std::string number = std::to_string(line);
        std::string item;
        item.reserve(kItemHead.size() + declarations.size() + kScore.size() + body.size() + condition.size() + 512);
        item += kItemHead;
        item += "identifier=\"line-";
        item += number;
        item += "\" title=\"";
        item += number;
        item += "\" adaptive=\"false\" timeDependent=\"false\" xml:lang=\"ja\">\n";
        item += declarations;
        item += kScore;
        item += "<itemBody>\n";
        item += body;
        item += "</itemBody>\n";
        if (condition.empty()) {
            item += "<responseProcessing>";
            item += kScoreZero;
            item += "</responseProcessing>\n";
        } else {
            item += "<responseProcessing><responseCondition><responseIf>";
            item += condition;
            item += kScoreOne;
            item += "</responseIf><responseElse>";
            item += kScoreZero;
            item += "</responseElse></responseCondition></responseProcessing>\n";
        }
        item += "</assessmentItem>\n";
        return item;
    }

    const ProblemKind& kind;
    const TextList texts;
    const PlayVerdict verdict;
    bool spellingsCut = false;

private:
    std::size_t line;
    std::string declarations;
    std::string body;
    std::string condition;

    static constexpr std::string_view kScoreOne =
        "<setOutcomeValue identifier=\"SCORE\"><baseValue baseType=\"float\">1</baseValue></setOutcomeValue>";
    static constexpr std::string_view kScoreZero =
        "<setOutcomeValue identifier=\"SCORE\"><baseValue baseType=\"float\">0</baseValue></setOutcomeValue>";

    static std::string utf8Of(std::string_view shiftJis)
    {
        std::string utf8;
        if (!isBlankText(shiftJis))
            appendShiftJisAsUtf8(shiftJis, utf8);
        return utf8;
    }

    const std::string& answer() const { return texts[*kind.positionOf(Field::Answer, 0)]; }

    // The choices' or tiles' texts as the player sees them, in UTF-8.
    std::vector<std::string> shownPieces() const
    {
        std::vector<std::string> shown;
        for (const PlayPiece& piece : verdict.pieces)
            shown.push_back(encodeUtf8(piece.shown));
        return shown;
    }

    // The question, then the association's hints in order (a blank one as
    // an empty entry, so that the others keep their numbers).
    void appendStem()
    {
        const std::optional<std::size_t> question = kind.positionOf(Field::Question, 0);
        if (question && !isBlankText(texts[*question])) {
            body += "<p>";
            appendEscaped(body, utf8Of(texts[*question]), true);
            body += "</p>\n";
        }
        const std::vector<std::size_t> hints = kind.positionsOf(Field::Hint);
        if (hints.empty())
            return;
        body += "<ol>";
        for (std::size_t i : hints) {
            body += "<li>";
            appendEscaped(body, utf8Of(texts[i]), true);
            body += "</li>";
        }
        body += "</ol>\n";
    }

    void declare(const std::string& id, const char* cardinality, const char* baseType, const std::string& values)
    {
        declarations += "<responseDeclaration identifier=\"" + id + "\" cardinality=\"" + cardinality +
                        "\" baseType=\"" + baseType + "\"><correctResponse>" + values +
                        "</correctResponse></responseDeclaration>\n";
    }

    static std::string matchesCorrect(const std::string& id)
    {
        return "<match><variable identifier=\"" + id + "\"/><correct identifier=\"" + id + "\"/></match>";
    }

    static void appendChoices(std::string& out, std::string_view element, const std::vector<Choice>& choices)
    {
        for (const Choice& choice : choices) {
            out += '<';
            out += element;
            out += " identifier=\"";
            out += choice.id;
            out += "\">";
            appendEscaped(out, choice.utf8, true);
            out += "</";
            out += element;
            out += '>';
        }
    }

    // ox's ○ and × in that order; the answer and the wrong choices listed
    // by their texts, shuffled by the player.
    void writeChoice()
    {
        const std::vector<std::string> shown = shownPieces();
        std::vector<std::size_t> order(shown.size());
        std::iota(order.begin(), order.end(), 0);
        if (!verdict.inOrder)
            order = listingOrder(shown);
        std::vector<Choice> choices;
        std::vector<std::string> right;
        for (std::size_t i : order) {
            const std::string id = "choice-" + std::to_string(choices.size() + 1);
            choices.push_back({id, shown[i]});
            if (verdict.pieces[i].folded == verdict.answer)
                right.push_back(id);
        }
        declare("RESPONSE", "single", "identifier", "<value>" + right.front() + "</value>");
        body += "<choiceInteraction responseIdentifier=\"RESPONSE\" shuffle=\"";
        body += verdict.inOrder ? "false" : "true";
        body += "\" maxChoices=\"1\">";
        appendChoices(body, "simpleChoice", choices);
        body += "</choiceInteraction>\n";
        // A wrong choice that folds as the answer does is right too, as on
        // the page.
        if (right.size() == 1) {
            condition = matchesCorrect("RESPONSE");
            return;
        }
        condition = "<member><variable identifier=\"RESPONSE\"/><multiple>";
        for (const std::string& id : right)
            appendIdentifierValue(condition, id);
        condition += "</multiple></member>";
    }

    // Right when the tiles placed spell the answer: for some way of
    // spelling it, as many tiles as that way has, each in its place one of
    // the tiles that fold to the text there. Tiles that fold alike can
    // trade places, so no list of right orders is written out; where
    // nothing can trade places, the correct order is the one right order.
    void writeTiles()
    {
        const std::vector<std::string> shown = shownPieces();
        std::vector<Choice> tiles;
        std::vector<std::u32string> groupTexts;
        std::vector<std::vector<std::string>> groupIds;
        for (std::size_t i : listingOrder(shown)) {
            const std::string id = "tile-" + std::to_string(tiles.size() + 1);
            tiles.push_back({id, shown[i]});
            const std::u32string& folded = verdict.pieces[i].folded;
            const auto group = std::find(groupTexts.begin(), groupTexts.end(), folded);
            if (group == groupTexts.end()) {
                groupTexts.push_back(folded);
                groupIds.push_back({id});
            } else {
                groupIds[static_cast<std::size_t>(group - groupTexts.begin())].push_back(id);
            }
        }
        std::vector<std::size_t> sizes;
        for (const std::vector<std::string>& ids : groupIds)
            sizes.push_back(ids.size());
        const Spellings spellings(verdict.answer, groupTexts, sizes);
        spellingsCut = spellings.cut;

        // The first way, each group's tiles taken in turn.
        std::string right;
        std::vector<std::size_t> taken(groupIds.size());
        if (!spellings.runs.empty())
            for (std::size_t group : spellings.runs.front())
                right += "<value>" + groupIds[group][taken[group]++] + "</value>";
        declare("RESPONSE", "ordered", "identifier", right);

        const bool panels = kind.tag == PANEL;
        body += "<orderInteraction responseIdentifier=\"RESPONSE\" shuffle=\"true\"";
        body += panels ? " minChoices=\"1\">" : ">";
        appendChoices(body, "simpleChoice", tiles);
        body += "</orderInteraction>\n";

        // One way, with one tile for each place: the correct order itself.
        const bool onlyTheCorrectOrder =
            spellings.runs.size() == 1 && std::all_of(spellings.runs.front().begin(), spellings.runs.front().end(),
                                                      [&](std::size_t group) { return groupIds[group].size() == 1; });
        if (onlyTheCorrectOrder) {
            condition = matchesCorrect("RESPONSE");
            return;
        }
        std::string ways;
        for (const std::vector<std::size_t>& run : spellings.runs) {
            ways += "<and><match><containerSize><variable identifier=\"RESPONSE\"/></containerSize>"
                    "<baseValue baseType=\"integer\">" +
                    std::to_string(run.size()) + "</baseValue></match>";
            for (std::size_t place = 0; place < run.size(); ++place) {
                ways += "<member><index n=\"" + std::to_string(place + 1) +
                        "\"><variable identifier=\"RESPONSE\"/></index><multiple>";
                for (const std::string& id : groupIds[run[place]])
                    appendIdentifierValue(ways, id);
                ways += "</multiple></member>";
            }
            ways += "</and>";
        }
        condition = spellings.runs.size() == 1 ? ways : "<or>" + ways + "</or>";
    }

    // One inline choice per reel that is not blank, its characters as the
    // review folds them, in the reel's order.
    void writeReels()
    {
        const std::vector<std::u32string_view> wanted = charactersOf(verdict.answer);
        std::string choices;
        std::string all;
        for (std::size_t reel = 0; reel < verdict.reels.size(); ++reel) {
            const std::string response = "RESPONSE-" + std::to_string(reel + 1);
            std::vector<Choice> options;
            std::string right;
            for (const std::u32string& character : verdict.reels[reel]) {
                const std::string id = "reel-" + std::to_string(reel + 1) + "-" + std::to_string(options.size() + 1);
                options.push_back({id, encodeUtf8(character)});
                if (reel < wanted.size() && character == wanted[reel] && right.empty())
                    right = id;
            }
            declare(response, "single", "identifier", "<value>" + right + "</value>");
            choices += reel == 0 ? "<inlineChoiceInteraction responseIdentifier=\""
                                 : " <inlineChoiceInteraction responseIdentifier=\"";
            choices += response;
            choices += "\" shuffle=\"false\">";
            appendChoices(choices, "inlineChoice", options);
            choices += "</inlineChoiceInteraction>";
            all += matchesCorrect(response);
        }
        body += "<p>" + choices + "</p>\n";
        condition = "<and>" + all + "</and>";
    }

    // The answer typed, compared as written: the same bytes as the set's.
    // A blank answer gives nothing to compare: the item has no correct
    // response and scores 0, for the teacher to grade.
    void writeTextEntry()
    {
        body += "<p><textEntryInteraction responseIdentifier=\"RESPONSE\"/></p>\n";
        if (verdict.fallback == Fallback::BlankAnswer) {
            declarations += "<responseDeclaration identifier=\"RESPONSE\" cardinality=\"single\" baseType=\"string\"/>\n";
            return;
        }
        std::string utf8;
        appendShiftJisAsUtf8(answer(), utf8);
        declare("RESPONSE", "single", "string", "<value>" + escaped(utf8, false) + "</value>");
        condition = matchesCorrect("RESPONSE");
    }
};

constexpr std::string_view kTestHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<assessmentTest xmlns=\"http://www.imsglobal.org/xsd/imsqti_v2p1\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.imsglobal.org/xsd/imsqti_v2p1 "
    "http://www.imsglobal.org/xsd/qti/qtiv2p1/imsqti_v2p1.xsd\" identifier=\"set\" title=\"";

constexpr std::string_view kManifestHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<manifest xmlns=\"http://www.imsglobal.org/xsd/imscp_v1p1\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.imsglobal.org/xsd/imscp_v1p1 http://www.imsglobal.org/xsd/imscp_v1p1.xsd\" "
    "identifier=\"manifest\">\n"
    "<metadata><schema>QTIv2.1 Package</schema><schemaversion>1.0.0</schemaversion></metadata>\n"
    "<organizations/>\n<resources>\n";

constexpr std::string_view kTestPath = "test.xml";

} // namespace

std::optional<std::string> qtiItemOf(const ProblemBase& problem, std::size_t line)
{
    const ProblemKind* kind = findKind(problem.type);
    if (!kind)
        return std::nullopt;
    return ItemWriter(*kind, problem, line).write();
}

QtiWriter::QtiWriter(std::string_view setName, ItemSink sink) : name(setName), items(std::move(sink)) {}

bool QtiWriter::addLine(Section& section, ProblemPlace place, const ProblemBase& problem)
{
    const ProblemKind* kind = findKind(problem.type);
    ++lines;
    if (!kind)
        return true;
    ItemWriter item(*kind, problem, lines);
    std::optional<std::string> bytes = item.write();
    if (!bytes || !items({itemPath(lines), std::move(*bytes)}))
        return false;
    section.lines.push_back(lines);
    if (item.verdict.mode == PlayMode::Reveal)
        fallen.push_back({lines, place, kind, item.verdict.fallback});
    if (item.spellingsCut)
        cut.push_back({lines, place, kind, Fallback::None});
    return true;
}

bool QtiWriter::add(const ProblemBase& problem)
{
    ++problems;
    Section section{lines + 1, {}};
    bool written = addLine(section, {problems, 0}, problem);
    const ProblemRefs branches = problem.getBranches();
    for (std::size_t j = 0; written && j < branches.size(); ++j)
        written = addLine(section, {problems, j + 1}, *branches[j]);
    if (written && !section.lines.empty())
        sections.push_back(std::move(section));
    return written;
}

QtiFile QtiWriter::test() const
{
    std::string xml;
    // About a hundred bytes a line, so that a large test is not copied as
    // it grows.
    xml.reserve(kTestHead.size() + name.size() + 512 + 110 * lines + 110 * sections.size());
    xml += kTestHead;
    xml += escaped(name, false) + "\">\n";
    xml += "<outcomeDeclaration identifier=\"SCORE\" cardinality=\"single\" baseType=\"float\"/>\n";
    xml += "<testPart identifier=\"part\" navigationMode=\"nonlinear\" submissionMode=\"individual\">\n";
    for (const Section& section : sections) {
        const std::string number = std::to_string(section.firstLine);
        xml += "<assessmentSection identifier=\"problem-" + number + "\" title=\"" + number + "\" visible=\"true\">";
        for (std::size_t line : section.lines)
            xml += "<assessmentItemRef identifier=\"" + lineId(line) + "\" href=\"" + itemPath(line) + "\"/>";
        xml += "</assessmentSection>\n";
    }
    xml += "</testPart>\n";
    xml += "<outcomeProcessing><setOutcomeValue identifier=\"SCORE\"><sum><testVariables "
           "variableIdentifier=\"SCORE\"/></sum></setOutcomeValue></outcomeProcessing>\n";
    xml += "</assessmentTest>\n";
    return {std::string(kTestPath), xml};
}

QtiFile QtiWriter::manifest() const
{
    std::string xml;
    xml.reserve(kManifestHead.size() + 512 + 180 * lines);
    xml += kManifestHead;
    xml += "<resource identifier=\"test\" type=\"imsqti_test_xmlv2p1\" href=\"" + std::string(kTestPath) +
           "\"><file href=\"" + std::string(kTestPath) + "\"/>";
    for (const Section& section : sections)
        for (std::size_t line : section.lines)
            xml += "<dependency identifierref=\"" + lineId(line) + "\"/>";
    xml += "</resource>\n";
    for (const Section& section : sections)
        for (std::size_t line : section.lines)
            xml += "<resource identifier=\"" + lineId(line) + "\" type=\"imsqti_item_xmlv2p1\" href=\"" +
                   itemPath(line) + "\"><file href=\"" + itemPath(line) + "\"/></resource>\n";
    xml += "</resources>\n</manifest>\n";
    return {"imsmanifest.xml", xml};
}

std::optional<std::vector<QtiFile>> qtiFilesOf(std::string_view setName, const ProblemList& problems)
{
    std::vector<QtiFile> files;
    QtiWriter writer(setName, [&](QtiFile&& item) {
        files.push_back(std::move(item));
        return true;
    });
    for (const ProblemPtr& problem : problems)
        if (!writer.add(*problem))
            return std::nullopt;
    files.push_back(writer.test());
    files.push_back(writer.manifest());
    return files;
}
