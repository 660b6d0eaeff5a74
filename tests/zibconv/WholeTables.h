// Whole tables at once, for tests: the product reads and writes tables a
// row at a time, and these gather its rows into one value.
#pragma once

#include "model/ProblemList.h"
#include "zibconv/tables/ExportTable.h"
#include "zibconv/tables/QuizTable.h"
#include "zibconv/tables/TableFile.h"
#include "zibconv/tables/TableText.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ParsedTable {
    std::vector<TableRow> rows;
    // The row (1-based, as a spreadsheet counts them) whose quoted cell is
    // still open at the end of the text; the rows before it are read.
    std::optional<std::size_t> unclosedQuoteRow;
};
ParsedTable parseTable(std::string_view text, char separator);

std::string writeTable(const std::vector<TableRow>& rows, char separator);

// Rows of Shift-JIS cells as the bytes of a table file; nothing when a
// text is not Shift-JIS.
std::optional<std::string> encodeTable(const std::vector<TableRow>& rows, char separator, TableEncoding encoding);

struct DecodedTable {
    std::vector<TableRow> rows;
    std::vector<TableFinding> findings;
    std::vector<std::size_t> unreadableNames;
};
DecodedTable decodeTable(std::string_view bytes, char separator, std::optional<TableEncoding> given);

// The column names, then a row for each problem and each of its branches.
std::vector<TableRow> problemRows(const ProblemList& problems);

ImportedProblems problemsFromRows(std::vector<TableRow> rows, const std::vector<std::size_t>& unreadableNames = {});

// A quiz file into a table file's bytes.
std::optional<ExportedTable> exportQuizFile(const std::string& path, char separator, TableEncoding encoding);
