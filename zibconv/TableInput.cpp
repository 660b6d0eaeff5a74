// A table or a workbook read as import reads it, for import and check.
#include "zibconv/Commands.h"

#include "files/FileIO.h"
#include "zibconv/Console.h"
#include "zibconv/tables/TableFile.h"
#include "zibconv/workbooks/WorkbookReader.h"

#include <algorithm>
#include <memory>

namespace {

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
        printLine(Stream::Error, message::kCannotRead, invocation.input);
        return std::nullopt;
    }
    TableRead read;
    std::unique_ptr<DecodedRows> rows;
    const bool isWorkbook = bytes->starts_with(kZipSignature);
    if (isWorkbook) {
        // Told by its content, whatever its name: a zip holding a workbook.
        bytes.reset();
        WorkbookTable book = readWorkbook(invocation.input);
        if (book.status == WorkbookTable::Status::NotAWorkbook) {
            printLine(Stream::Error, notTextReason(kZipSignature), invocation.input);
            return std::nullopt;
        }
        if (book.status == WorkbookTable::Status::Unreadable) {
            printLine(Stream::Error, book.findings.front().message, invocation.input);
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
        rows = std::make_unique<DecodedRows>(*bytes, separatorOf(invocation.inputForm), invocation.encoding);
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
