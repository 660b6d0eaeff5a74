#include "zibconv/page/PageWriter.h"

#include "document/QuizFormat.h"
#include "model/ProblemKinds.h"
#include "review/FindingText.h"
#include "review/PlayVerdict.h"
#include "review/TextFolding.h"
#include "model/SetCounts.h"
#include "zibconv/page/HtmlText.h"
#include "zibconv/page/PageAssets.h"
#include "zibconv/page/PageData.h"

#include <map>

namespace {

// Lines go in blocks of about this many, each problem with its branches:
// the browser lays out a block out of view as one box, so that a page of
// tens of thousands of lines loads, and shows them all again after a
// search, in a fraction of the time it takes one box a line.
constexpr std::size_t kLinesPerBlock = 100;

// The page goes out in pieces of about this many bytes.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

// A note on a line: a finding of the line, or, on a group's other
// problems, a pointer to its first line, where the group's finding stands.
struct Note {
    const ContentFinding* finding;
    bool pointer;
};

// Where each line's notes are, by line index.
using NotesByLine = std::vector<std::vector<Note>>;

// The index of each top-level problem's own line; its branches follow it.
std::vector<std::size_t> firstLines(const ProblemList& problems)
{
    std::vector<std::size_t> first;
    first.reserve(problems.size());
    std::size_t line = 0;
    for (const ProblemPtr& problem : problems) {
        first.push_back(line);
        line += 1 + problem->getBranches().size();
    }
    return first;
}

// Every problem is named by its line's number, as its heading is.
class LineNumbers {
public:
    explicit LineNumbers(const ProblemList& problems) : first(firstLines(problems)) {}
    std::size_t index(ProblemPlace place) const { return first[place.problem - 1] + place.branch; }
    std::string number(ProblemPlace place) const { return std::to_string(index(place) + 1); }

private:
    std::vector<std::size_t> first;
};

NotesByLine notesByLine(const ProblemList& problems, const LineNumbers& lines,
                        const std::vector<ContentFinding>& findings)
{
    std::size_t count = 0;
    for (const ProblemPtr& problem : problems)
        count += 1 + problem->getBranches().size();
    NotesByLine notes(count);
    for (const ContentFinding& finding : findings) {
        notes[lines.index(finding.place)].push_back({&finding, false});
        // The group's other problems point to it: one note each, however
        // large the group, so that the page grows with the set alone.
        for (std::size_t i = 1; i < finding.group.size(); ++i)
            notes[lines.index(finding.group[i])].push_back({&finding, true});
    }
    return notes;
}

// A note's words, the problems it names as links to their lines.
void appendNote(std::string& page, const LineNumbers& lines, const std::vector<SentencePart>& parts)
{
    for (const SentencePart& part : parts) {
        if (!part.problem) {
            appendHtmlText(page, part.words);
            continue;
        }
        const std::string number = lines.number(*part.problem);
        page += "<a href=\"#line-" + number + "\">" + number + "</a>";
    }
}

// What the lines of a kind have alike, made once for the page: a set's
// page holds hundreds of thousands of labels.
struct KindMarkup {
    std::string label; // the kind's, escaped
    // Each field's label and the start of its text, the dd's tag left open
    // for its blank mark. The end tags of dt and dd are left out, as HTML
    // allows.
    std::vector<std::string> fieldStarts;
};

class LineMarkup {
public:
    const KindMarkup& of(const ProblemKind& kind)
    {
        auto [known, added] = kinds.try_emplace(&kind);
        if (!added)
            return known->second;
        KindMarkup& markup = known->second;
        appendHtmlText(markup.label, kind.listLabel);
        for (std::size_t i = 0; i < kind.fieldCount(); ++i) {
            const FieldPlace field = fieldPlaceOf(kind, i);
            std::string start = "<dt>";
            appendHtmlText(start, fieldLabel(field));
            start += "<dd data-field=\"";
            start += fieldInfo(field.field).elementName;
            markup.fieldStarts.push_back(std::move(start));
        }
        return markup;
    }

private:
    std::map<const ProblemKind*, KindMarkup> kinds;
};

// One line: its number, kind and level, every field in file order, then
// the notes of the content review. A branch says in its heading whose it
// is, for those who do not see it indented. Each element counts: a browser
// takes most of a large set's load in parsing them.
void appendLine(std::string& page, std::size_t line, ProblemPlace place, const ProblemBase& problem,
                const LineNumbers& lines, const std::vector<Note>& notes, LineMarkup& markup)
{
    const ProblemKind* kind = findKind(problem.type);
    if (!kind)
        return;
    const KindMarkup& kindMarkup = markup.of(*kind);
    const std::string number = std::to_string(line);
    page += "<article id=\"line-";
    page += number;
    page += "\" data-kind=\"";
    page += kind->elementName;
    page += "\" data-level=\"";
    page += place.branch ? kSubElementName : kMainElementName;
    page += "\"";
    // A line without play data is shown, not played: the most common verdict
    // costs no bytes. The JSON goes between single quotes, where its many
    // double quotes stand as themselves.
    const PlayVerdict verdict = playVerdict(problem);
    if (verdict.mode != PlayMode::Reveal) {
        page += " data-play='";
        appendSingleQuotedUtf8(page, playJson(verdict));
        page += "'";
    }
    page += "><h2>";
    page += number;
    page += " ";
    page += kindMarkup.label;
    if (place.branch) {
        page += " ";
        appendHtmlText(page, "（" + lines.number({place.problem, 0}) + " の分岐）");
    }
    page += "</h2><dl>";
    const TextList texts = kind->textsOf(problem);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        page += kindMarkup.fieldStarts[i];
        page += isBlankText(texts[i]) ? "\" data-blank>" : "\">";
        appendHtmlText(page, texts[i]);
    }
    page += "</dl>";
    if (notes.empty())
        return void(page += "</article>\n");
    // Each note begins with its line's number, as the heading does, and
    // check's name of the problem, as check's report gives it.
    const std::string named = number + " (" + problemName(place, nullptr) + "): ";
    for (const Note& note : notes) {
        page += "<p class=\"note\" data-rule=\"";
        page += ruleName(note.finding->rule);
        page += "\">";
        appendHtmlText(page, named);
        appendNote(page, lines, note.pointer ? memberSentenceParts(*note.finding) : sentenceParts(*note.finding));
        page += "</p>";
    }
    page += "</article>\n";
}

void appendHead(std::string& page, std::string_view fileName)
{
    page += "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta http-equiv=\"Content-Security-Policy\" content=\"";
    page += pagePolicy();
    page += "\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    appendHtmlUtf8(page, fileName);
    page += "</title>\n<style>";
    page += pageStyle().utf8;
    page += "</style>\n</head>\n";
}

// The controls stay hidden until the script shows them: without scripting
// the page is the list alone. The search's count stands in a live region of
// the controls, what play says (the verdicts, the score) in one of main's,
// beside the play and the list.
void appendHeader(std::string& page, std::string_view fileName, const ProblemList& problems)
{
    page += "<body>\n<header>\n<h1>";
    appendHtmlUtf8(page, fileName);
    page += "</h1>\n<p data-counts>";
    appendHtmlText(page, summaryText(countsOf(problems)));
    page += "</p>\n<div class=\"controls\" hidden><input type=\"search\" aria-label=\"";
    appendHtmlText(page, "検索");
    page += "\" placeholder=\"";
    appendHtmlText(page, "検索 (全角半角・大文字小文字を区別しません)");
    page += "\"> <button type=\"button\" data-play>";
    appendHtmlText(page, "通して遊ぶ");
    page += "</button> <label><input type=\"checkbox\" data-shuffle> ";
    appendHtmlText(page, "問題の順をまぜる");
    page += "</label> <p class=\"found\" role=\"status\" data-found></p></div>\n</header>\n<main>\n"
            "<p class=\"announce\" role=\"status\" data-announce></p>\n<section id=\"play\" hidden></section>\n"
            "<div class=\"list\" data-folding='";
    appendSingleQuotedUtf8(page, foldingJson());
    page += "'>\n";
}

} // namespace

std::string pagePolicy()
{
    return std::string("default-src 'none'; style-src 'sha256-") + pageStyle().sha256Base64 +
           "'; script-src 'sha256-" + pageScript().sha256Base64 + "'; base-uri 'none'; form-action 'none'";
}

bool writeSetPage(std::string_view fileName, const ProblemList& problems, const std::vector<ContentFinding>& findings,
                  const PageSink& write)
{
    const LineNumbers lineNumbers(problems);
    const NotesByLine notes = notesByLine(problems, lineNumbers, findings);
    // One buffer, emptied into `write` whenever it holds a piece: a large
    // set's page is tens of megabytes, and memory the system has to give
    // for the first time costs more than making the bytes that go in it.
    std::string page;
    page.reserve(kPieceSize + pageStyle().utf8.size() + pageScript().utf8.size() + kPieceSize / 8);
    const auto pieceMade = [&] {
        if (page.size() < kPieceSize)
            return true;
        const bool written = write(page);
        page.clear();
        return written;
    };
    appendHead(page, fileName);
    appendHeader(page, fileName, problems);
    LineMarkup markup;
    std::size_t line = 0;
    std::size_t blockStart = 0;
    for (std::size_t i = 0; i < problems.size(); ++i) {
        if (i == 0 || line - blockStart >= kLinesPerBlock) {
            page += i == 0 ? "<section class=\"block\">\n" : "</section>\n<section class=\"block\">\n";
            blockStart = line;
        }
        appendLine(page, line + 1, {i + 1, 0}, *problems[i], lineNumbers, notes[line], markup);
        ++line;
        const ProblemRefs branches = problems[i]->getBranches();
        for (std::size_t j = 0; j < branches.size(); ++j, ++line)
            appendLine(page, line + 1, {i + 1, j + 1}, *branches[j], lineNumbers, notes[line], markup);
        if (!pieceMade())
            return false;
    }
    if (!problems.empty())
        page += "</section>\n";
    page += "</div>\n</main>\n<script>";
    page += pageScript().utf8;
    page += "</script>\n</body>\n</html>\n";
    return write(page);
}

std::string setPage(std::string_view fileName, const ProblemList& problems, const std::vector<ContentFinding>& findings)
{
    std::string page;
    writeSetPage(fileName, problems, findings, [&](std::string_view piece) {
        page += piece;
        return true;
    });
    return page;
}
