#include "zibconv/Commands.h"

#include "document/ProblemListFile.h"
#include "model/ProblemList.h"
#include "files/FileIO.h"
#include "zibconv/Console.h"
#include "zibconv/tables/ExportTable.h"
#include "zibconv/tables/QuizTable.h"
#include "zibconv/tables/RetypedCells.h"
#include "zibconv/tables/TableFile.h"
#include "zibconv/page/ExportPage.h"
#include "zibconv/workbooks/WorkbookReader.h"
#include "zibconv/workbooks/WorkbookWriter.h"

#include <algorithm>
#include <memory>

namespace {

// Findings shown one per line; beyond these only their count.
constexpr std::size_t kMostFindingsShown = 50;
// Beyond this a table's room grows as it is written.
constexpr std::uintmax_t kMaxTableReserve = 256u << 20;

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


// A workbook's findings name their cells as the spreadsheet does (C12),
// by the column's number or by its name in the first row.
void nameCells(std::vector<TableFinding>& findings, const TableRow& names)
{
    for (TableFinding& finding : findings) {
        if (!finding.cell.empty() || finding.row == 0)
            continue;
        std::optional<std::size_t> column;
        if (finding.columnNumber != 0)
            column = finding.columnNumber - 1;
        else if (const auto at = std::find(names.begin(), names.end(), finding.column);
                 !finding.column.empty() && at != names.end())
            column = static_cast<std::size_t>(at - names.begin());
        if (column)
            finding.cell = cellName(*column, finding.row);
    }
}

} // namespace

std::optional<TableRead> readTableFile(const Invocation& invocation)
{
    std::optional<std::string> bytes = readFileBytes(invocation.input);
    if (!bytes) {
        printLine(Stream::Error, "ファイルを読めません", invocation.input);
        return std::nullopt;
    }
    TableRead read;
    std::unique_ptr<DecodedRows> rows;
    const bool isWorkbook = bytes->starts_with("PK\x03\x04");
    if (isWorkbook) {
        // Told by its content, whatever its name: a zip holding a workbook.
        bytes.reset();
        WorkbookTable book = readWorkbook(invocation.input);
        if (book.status == WorkbookTable::Status::NotAWorkbook) {
            printLine(Stream::Error, notTextReason("PK\x03\x04"), invocation.input);
            return std::nullopt;
        }
        rows = std::make_unique<DecodedRows>(std::move(book.rows));
        read.findings = std::move(book.findings);
        read.imported.notices = std::move(book.notices);
    } else {
        if (const char* reason = notTextReason(*bytes)) {
            printLine(Stream::Error, reason, invocation.input);
            return std::nullopt;
        }
        rows = std::make_unique<DecodedRows>(*bytes, separatorFor(invocation.input), invocation.encoding);
    }
    // Row by row: the table's rows are never held whole beside the problems.
    std::vector<TableFinding> bookNotices = std::move(read.imported.notices);
    read.imported = problemsFromRows(*rows);
    read.imported.notices.insert(read.imported.notices.begin(), bookNotices.begin(), bookNotices.end());
    std::vector<TableFinding> decoding = rows->takeFindings();
    read.findings.insert(read.findings.end(), decoding.begin(), decoding.end());
    read.findings.insert(read.findings.end(), read.imported.findings.begin(), read.imported.findings.end());
    if (isWorkbook) {
        nameCells(read.findings, read.imported.names);
        nameCells(read.imported.notices, read.imported.names);
    }
    return read;
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

namespace {

// A notice after a CSV or TSV export: what a spreadsheet opening it would
// change, and that a workbook keeps it.
void printRetypedCells(const RetypeCounter& retyped)
{
    if (retyped.count == 0)
        return;
    std::string places;
    for (const TableFinding& place : retyped.first) {
        const std::string named = placeOf(place);
        places += (places.empty() ? "" : "、") + named.substr(0, named.size() - 2);
    }
    if (retyped.count > retyped.first.size())
        places += " ほか";
    printLine(Stream::Error, "表計算ソフトでそのまま開くと、数値、日付、数式などに変わってしまうセルが " +
                                 std::to_string(retyped.count) + " 個あります (" + places +
                                 ")。.xlsx に書き出せば、文字のまま残ります");
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
    std::unique_ptr<RowSink> sink;
    RetypeCounter* retyped = nullptr;
    if (isWorkbookName(invocation.output)) {
        std::optional<WorkFile> work = makeWorkFileBeside(invocation.output);
        if (!work) {
            printLine(Stream::Error, "表を書き出せませんでした", invocation.output);
            return kExitRefused;
        }
        sink = std::make_unique<WorkbookWriter>(std::move(*work));
    } else {
        // A table takes about as many bytes as its quiz file: room untouched
        // costs no memory, and the table is seldom larger.
        const std::uintmax_t quizBytes = fileSizeOf(invocation.input).value_or(0);
        auto counter = std::make_unique<RetypeCounter>(std::make_unique<TableEncoder>(
            separatorFor(invocation.output), invocation.encoding.value_or(TableEncoding::Utf8),
            static_cast<std::size_t>(std::min<std::uintmax_t>(quizBytes, kMaxTableReserve))));
        retyped = counter.get();
        sink = std::move(counter);
    }
    const std::optional<ExportedTable> table = exportQuizFile(invocation.input, *sink);
    if (!table)
        return reportUnreadableQuizFile(invocation.input);
    if (!table->bytes || !replaceFileContents(invocation.output, *table->bytes)) {
        printLine(Stream::Error,
                  table->bytes || !isWorkbookName(invocation.output)
                      ? "表を書き出せませんでした"
                      : "ブックを書き出せませんでした (1 つのセルに入るのは 32,767 文字までです)",
                  invocation.output);
        return kExitRefused;
    }
    printLine(Stream::Error, countText(table->problems, table->branches) + "を書き出しました", invocation.output);
    if (retyped)
        printRetypedCells(*retyped);
    return kExitDone;
}

int runImport(const Invocation& invocation)
{
    if (!mayWrite(invocation))
        return kExitRefused;
    std::optional<TableRead> read = readTableFile(invocation);
    if (!read)
        return kExitUnreadable;
    if (!read->findings.empty()) {
        printFindings(std::move(read->findings));
        printLine(Stream::Error, "表に誤りがあるため、何も書き出していません", invocation.input);
        return kExitRefused;
    }
    printFindings(std::move(read->imported.notices));
    problemList = std::move(read->imported.problems);
    if (!saveProblemListByProblem(invocation.output)) {
        printLine(Stream::Error, "XMLファイル保存に失敗しました", invocation.output);
        return kExitRefused;
    }
    printLine(Stream::Error, countText(problemList.size(), branchCount(problemList)) + "を書き出しました",
              invocation.output);
    printContentFindingCount(problemList);
    return kExitDone;
}
