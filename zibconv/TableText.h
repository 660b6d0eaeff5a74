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

bool needsQuotes(std::string_view cell, char separator);

// The same text in pieces, each handed to `append` (cell texts whole or
// between quotes), so that an encoder converts them on the way.
template <class Append>
void writeRows(const std::vector<TableRow>& rows, char separator, Append append)
{
    const std::string_view separatorText(&separator, 1);
    for (const TableRow& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                append(separatorText);
            const std::string_view cell = row[i];
            if (!needsQuotes(cell, separator)) {
                append(cell);
                continue;
            }
            append("\"");
            std::size_t start = 0;
            for (std::size_t quote = cell.find('"'); quote != std::string_view::npos; quote = cell.find('"', start)) {
                append(cell.substr(start, quote + 1 - start));
                append("\"");
                start = quote + 1;
            }
            append(cell.substr(start));
            append("\"");
        }
        append("\r\n");
    }
}
