#include "zibconv/Commands.h"

#include "document/ProblemListFile.h"
#include "model/ProblemList.h"
#include "xml/FileIO.h"
#include "zibconv/CheckReport.h"
#include "zibconv/Console.h"
#include "zibconv/ExportTable.h"
#include "zibconv/QuizTable.h"
#include "zibconv/TableFile.h"
#include "zibconv/page/ExportPage.h"

#include <algorithm>

namespace {

// Findings shown one per line; beyond these only their count.
constexpr std::size_t kMostFindingsShown = 50;

// An output is written only where that is safe: never over the input, never
// in place of what is not a file, and over an existing file only when the
// user said so.
bool mayWrite(const Invocation& invocation)
{
    if (isSameFile(invocation.input, invocation.output)) {
        printLine(Stream::Error, "出力先が入力ファイルと同じです。別の出力先を書いてください", invocation.output);
        return false;
    }
    if (writeTargetOf(invocation.output) == WriteTarget::NotAFile) {
        printLine(Stream::Error, "出力先はファイルではないため、置き換えられません", invocation.output);
        return false;
    }
    if (invocation.force || !pathExists(invocation.output))
        return true;
    printLine(Stream::Error, "出力先のファイルがすでにあります。置き換えるには --force を付けてください",
              invocation.output);
    return false;
}

std::string countText(std::size_t problems, std::size_t branches)
{
    return "問題 " + std::to_string(problems) + " 問 (分岐 " + std::to_string(branches) + " 問)";
}

std::size_t branchCount(const ProblemList& problems)
{
    std::size_t count = 0;
    for (const ProblemPtr& problem : problems)
        count += problem->getBranches().size();
    return count;
}

} // namespace

std::string placeOf(const TableFinding& finding)
{
    if (finding.row == 0)
        return "";
    std::string place = std::to_string(finding.row) + " 行目";
    if (!finding.column.empty())
        place += " " + finding.column + " 列";
    return place + ": ";
}

namespace {

// Row by row; what is about the whole table comes last.
void printFindings(std::vector<TableFinding> findings)
{
    std::stable_sort(findings.begin(), findings.end(), [](const TableFinding& a, const TableFinding& b) {
        return (a.row == 0 ? SIZE_MAX : a.row) < (b.row == 0 ? SIZE_MAX : b.row);
    });
    for (std::size_t i = 0; i < findings.size() && i < kMostFindingsShown; ++i)
        printLine(Stream::Error, placeOf(findings[i]) + findings[i].message);
    if (findings.size() > kMostFindingsShown)
        printLine(Stream::Error, "ほかに " + std::to_string(findings.size() - kMostFindingsShown) + " 件あります");
}

} // namespace

int reportUnreadableQuizFile(const std::string& path)
{
    // Told apart only now, so that a file that loads is read once.
    if (!readFileBytes(path))
        printLine(Stream::Error, "ファイルを読めません", path);
    else
        printLine(Stream::Error, "XMLファイル読み込みに失敗しました", path);
    return kExitUnreadable;
}

namespace {

int runPageExport(const Invocation& invocation)
{
    const std::optional<ExportedPage> page = exportQuizPage(invocation.input);
    if (!page)
        return reportUnreadableQuizFile(invocation.input);
    if (!replaceFileContents(invocation.output, page->bytes)) {
        printLine(Stream::Error, "ページを書き出せませんでした", invocation.output);
        return kExitRefused;
    }
    printLine(Stream::Error, countText(page->problems, page->branches) + "のページを書き出しました", invocation.output);
    return kExitDone;
}

} // namespace

int runExport(const Invocation& invocation)
{
    if (!mayWrite(invocation))
        return kExitRefused;
    if (isPageName(invocation.output))
        return runPageExport(invocation);
    const std::optional<ExportedTable> table = exportQuizFile(
        invocation.input, separatorFor(invocation.output), invocation.encoding.value_or(TableEncoding::Utf8));
    if (!table)
        return reportUnreadableQuizFile(invocation.input);
    if (!table->bytes || !replaceFileContents(invocation.output, *table->bytes)) {
        printLine(Stream::Error, "表を書き出せませんでした", invocation.output);
        return kExitRefused;
    }
    printLine(Stream::Error, countText(table->problems, table->branches) + "を書き出しました", invocation.output);
    return kExitDone;
}

int runImport(const Invocation& invocation)
{
    if (!mayWrite(invocation))
        return kExitRefused;
    ImportedProblems imported;
    std::vector<TableFinding> findings;
    {
        // The file's bytes and rows go before the quiz file is built.
        std::optional<std::string> bytes = readFileBytes(invocation.input);
        if (!bytes) {
            printLine(Stream::Error, "ファイルを読めません", invocation.input);
            return kExitUnreadable;
        }
        DecodedTable table = decodeTable(*bytes, separatorFor(invocation.input), invocation.encoding);
        bytes.reset();
        imported = problemsFromRows(table.rows);
        findings = std::move(table.findings);
    }
    findings.insert(findings.end(), imported.findings.begin(), imported.findings.end());
    if (!findings.empty()) {
        printFindings(std::move(findings));
        printLine(Stream::Error, "表に誤りがあるため、何も書き出していません", invocation.input);
        return kExitRefused;
    }
    problemList = std::move(imported.problems);
    if (!saveProblemListByProblem(invocation.output)) {
        printLine(Stream::Error, "XMLファイル保存に失敗しました", invocation.output);
        return kExitRefused;
    }
    printLine(Stream::Error, countText(problemList.size(), branchCount(problemList)) + "を書き出しました",
              invocation.output);
    printContentFindingCount(problemList);
    return kExitDone;
}
