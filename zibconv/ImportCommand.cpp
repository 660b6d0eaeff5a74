// import: a table or a workbook into a quiz file, written only when
// nothing in it is wrong.
#include "zibconv/Commands.h"

#include "document/ProblemListFile.h"
#include "model/ProblemList.h"
#include "review/ContentReview.h"
#include "zibconv/Console.h"
#include "zibconv/check/CheckReport.h"

#include <algorithm>

namespace {

// Findings shown one per line; beyond these only their count.
constexpr std::size_t kMostFindingsShown = 50;

// Row by row; what is about the whole table comes last.
void printFindings(std::vector<TableFinding> findings)
{
    std::stable_sort(findings.begin(), findings.end(), [](const TableFinding& a, const TableFinding& b) {
        return (a.row == 0 ? SIZE_MAX : a.row) < (b.row == 0 ? SIZE_MAX : b.row);
    });
    for (std::size_t i = 0; i < findings.size() && i < kMostFindingsShown; ++i)
        printLine(Stream::Error, placeOf(findings[i]) + findings[i].message);
    if (findings.size() > kMostFindingsShown)
        printLine(Stream::Error, message::moreFindings(findings.size() - kMostFindingsShown));
}

// One line with the number of content findings, when there are any.
void printContentFindingCount(const ProblemList& problems)
{
    const std::size_t count = reviewContent(problems).size();
    if (count)
        printLine(Stream::Error, findingCountText(count) + message::kSeeCheck);
}

} // namespace

int runImport(const Invocation& invocation)
{
    if (!mayWrite(invocation))
        return kExitRefused;
    std::optional<TableRead> read = readTableFile(invocation);
    if (!read)
        return kExitUnreadable;
    if (!read->findings.empty()) {
        printFindings(std::move(read->findings));
        printLine(Stream::Error, message::kTableRefused, invocation.input);
        return kExitRefused;
    }
    printFindings(std::move(read->imported.notices));
    problemList = std::move(read->imported.problems);
    if (!saveProblemListByProblem(invocation.output)) {
        printLine(Stream::Error, message::kQuizFileNotSaved, invocation.output);
        return kExitRefused;
    }
    printLine(Stream::Error, message::written(countsOf(problemList)), invocation.output);
    printContentFindingCount(problemList);
    return kExitDone;
}
