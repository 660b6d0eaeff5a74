// check of a table: read as import reads it, so that a set can be reviewed
// before it becomes a quiz file. What import would refuse is the table's
// loss; the content of a refused table is not reviewed.
#include "xml/FileIO.h"
#include "zibconv/CheckReport.h"
#include "zibconv/Commands.h"
#include "zibconv/Console.h"
#include "zibconv/QuizTable.h"
#include "zibconv/TableFile.h"

namespace {

// The rows of the table file, as import reads them. A workbook reader
// plugs in here: a workbook's rows, by its extension, beside the text
// tables' decoding.
std::optional<DecodedTable> tableRows(const Invocation& invocation)
{
    const std::optional<std::string> bytes = readFileBytes(invocation.input);
    if (!bytes)
        return std::nullopt;
    return decodeTable(*bytes, separatorFor(invocation.input), invocation.encoding);
}

} // namespace

int runTableCheck(const Invocation& invocation)
{
    const std::optional<DecodedTable> table = tableRows(invocation);
    if (!table) {
        printLine(Stream::Error, "ファイルを読めません", invocation.input);
        return kExitUnreadable;
    }
    ImportedProblems imported = problemsFromRows(table->rows);
    CheckedSet set{std::move(imported.problems), {}, {}, true};
    std::vector<TableFinding> findings = table->findings;
    findings.insert(findings.end(), imported.findings.begin(), imported.findings.end());
    for (const TableFinding& finding : findings)
        set.losses.push_back({0, 0, nullptr, placeOf(finding) + finding.message});
    return reportCheck(invocation, set);
}
