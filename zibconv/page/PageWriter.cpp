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

namespace {

// Lines go in blocks of about this many, each problem with its branches:
// the browser lays out a block out of view as one box, so that a page of
// tens of thousands of lines loads, and shows them all again after a
// search, in a fraction of the time it takes one box a line.
constexpr std::size_t kLinesPerBlock = 100;

// Where each line's notes are: the findings that name it, by line index.
using NotesByLine = std::vector<std::vector<const ContentFinding*>>;

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

NotesByLine notesByLine(const ProblemList& problems, const std::vector<ContentFinding>& findings)
{
    const std::vector<std::size_t> first = firstLines(problems);
    const std::size_t lines = problems.empty() ? 0 : first.back() + 1 + problems.back()->getBranches().size();
    NotesByLine notes(lines);
    const auto lineOf = [&first](ProblemPlace place) { return first[place.problem - 1] + place.branch; };
    for (const ContentFinding& finding : findings) {
        if (finding.group.empty()) {
            notes[lineOf(finding.place)].push_back(&finding);
            continue;
        }
        // A group of the same problems is a note on each of them.
        for (const ProblemPlace& place : finding.group)
            notes[lineOf(place)].push_back(&finding);
    }
    return notes;
}

// A field's label and text. The end tags of dt and dd are left out, as HTML
// allows: a set's page holds hundreds of thousands of them.
void appendField(std::string& page, FieldPlace field, const std::string& text)
{
    page += "<dt>";
    appendHtmlText(page, fieldLabel(field));
    page += "<dd data-field=\"";
    page += fieldInfo(field.field).elementName;
    page += isBlankText(text) ? "\" data-blank>" : "\">";
    appendHtmlText(page, text);
}

// One line: its number, kind and level, every field in file order, then
// the notes of the content review. Each element counts: a browser takes
// most of a large set's load in parsing them.
void appendLine(std::string& page, std::size_t line, ProblemPlace place, const ProblemBase& problem,
                const std::vector<const ContentFinding*>& notes)
{
    const ProblemKind* kind = findKind(problem.type);
    if (!kind)
        return;
    const std::string number = std::to_string(line);
    page += "<article id=\"line-" + number + "\" data-line=\"" + number + "\" data-kind=\"" + kind->elementName +
            "\" data-level=\"" + (place.branch ? kSubElementName : kMainElementName) + "\" data-play=\"";
    appendHtmlUtf8(page, playJson(playVerdict(problem)));
    const TextList texts = kind->textsOf(problem);
    if (const std::optional<std::string> key = searchKeyOf(texts)) {
        page += "\" data-search=\"";
        appendHtmlUtf8(page, *key);
    }
    page += "\"><h2>" + number + " ";
    appendHtmlText(page, kind->listLabel);
    page += "</h2><dl>";
    for (std::size_t i = 0; i < texts.size(); ++i)
        appendField(page, fieldPlaceOf(*kind, i), texts[i]);
    page += "</dl>";
    for (const ContentFinding* finding : notes) {
        page += "<p class=\"note\" data-rule=\"";
        page += ruleName(finding->rule);
        page += "\">";
        appendHtmlText(page, problemName(finding->place, finding->kind) + ": " + findingSentence(*finding));
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
// the page is the list alone.
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
    page += "</label></div>\n</header>\n<section id=\"play\" hidden></section>\n<main>\n";
}

} // namespace

std::string pagePolicy()
{
    return std::string("default-src 'none'; style-src 'sha256-") + pageStyle().sha256Base64 +
           "'; script-src 'sha256-" + pageScript().sha256Base64 + "'; base-uri 'none'; form-action 'none'";
}

std::string setPage(std::string_view fileName, const ProblemList& problems, const std::vector<ContentFinding>& findings)
{
    const NotesByLine notes = notesByLine(problems, findings);
    std::string page;
    // About what a line takes with texts of a few dozen characters, so that
    // the page is seldom copied as it grows.
    page.reserve(pageStyle().utf8.size() + pageScript().utf8.size() + notes.size() * 800);
    appendHead(page, fileName);
    appendHeader(page, fileName, problems);
    std::size_t line = 0;
    std::size_t blockStart = 0;
    for (std::size_t i = 0; i < problems.size(); ++i) {
        if (i == 0 || line - blockStart >= kLinesPerBlock) {
            page += i == 0 ? "<section class=\"block\">\n" : "</section>\n<section class=\"block\">\n";
            blockStart = line;
        }
        appendLine(page, line + 1, {i + 1, 0}, *problems[i], notes[line]);
        ++line;
        const ProblemRefs branches = problems[i]->getBranches();
        for (std::size_t j = 0; j < branches.size(); ++j, ++line)
            appendLine(page, line + 1, {i + 1, j + 1}, *branches[j], notes[line]);
    }
    if (!problems.empty())
        page += "</section>\n";
    page += "</main>\n<script>";
    page += pageScript().utf8;
    page += "</script>\n</body>\n</html>\n";
    return page;
}
