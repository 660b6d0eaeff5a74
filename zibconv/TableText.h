// Spreadsheet tables as text: CSV as RFC 4180 has it, and the same with a
// tab as separator (as Excel writes "Unicode text"). Cells are bytes of an
// encoding whose multi-byte characters never use the bytes below 0x40, as
// UTF-8 and Shift-JIS: the quote, the separators and the line breaks are
// always characters of their own.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using TableRow = std::vector<std::string>;

struct ParsedTable {
    std::vector<TableRow> rows;
    // The row (1-based, as a spreadsheet counts them) whose quoted cell is
    // still open at the end of the text; the rows before it are read.
    std::optional<std::size_t> unclosedQuoteRow;
};

// Rows end at CR LF, LF or a lone CR; a line break inside a quoted cell is
// kept as CR LF, whichever form the text had. A quote inside a quoted cell
// is doubled; in an unquoted cell it is a character like any other. A line
// break at the very end starts no further row.
ParsedTable parseTable(std::string_view text, char separator);

// A cell is quoted when and only when it holds the separator, a quote, CR
// or LF; every row, the last one too, ends with CR LF.
std::string writeTable(const std::vector<TableRow>& rows, char separator);
