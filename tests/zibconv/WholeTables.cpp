#include "WholeTables.h"

ParsedTable parseTable(std::string_view text, char separator)
{
    ParsedTable table;
    TableRowParser parser(text, separator);
    for (TableRow row; parser.next(row);)
        table.rows.push_back(std::move(row));
    table.unclosedQuoteRow = parser.unclosedQuoteRow();
    return table;
}

std::string writeTable(const std::vector<TableRow>& rows, char separator)
{
    std::string out;
    writeRows(rows, separator, [&out](std::string_view piece) { out += piece; });
    return out;
}

std::optional<std::string> encodeTable(const std::vector<TableRow>& rows, char separator, TableEncoding encoding)
{
    TableEncoder encoder(separator, encoding);
    encoder.append(rows);
    return encoder.finish();
}

DecodedTable decodeTable(std::string_view bytes, char separator, std::optional<TableEncoding> given)
{
    DecodedRows rows(bytes, separator, given);
    DecodedTable table;
    for (TableRow row; rows.next(row);)
        table.rows.push_back(std::move(row));
    table.findings = rows.takeFindings();
    table.unreadableNames = rows.unreadableNames();
    return table;
}

std::vector<TableRow> problemRows(const ProblemList& problems)
{
    std::vector<TableRow> rows{tableColumnNames()};
    for (const ProblemPtr& problem : problems) {
        std::vector<TableRow> own = rowsOfProblem(*problem);
        rows.insert(rows.end(), std::make_move_iterator(own.begin()), std::make_move_iterator(own.end()));
    }
    return rows;
}

ImportedProblems problemsFromRows(std::vector<TableRow> rows, const std::vector<std::size_t>& unreadableNames)
{
    HeldRows held(std::move(rows), unreadableNames);
    return problemsFromRows(held);
}

std::optional<ExportedTable> exportQuizFile(const std::string& path, char separator, TableEncoding encoding)
{
    TableEncoder encoder(separator, encoding);
    return exportQuizFile(path, encoder);
}
