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

// Rows given one at a time, each decoded as it is read, so that a large
// table need not be held whole.
class TableRowSource {
public:
    // The next row, its cells in Shift-JIS; false after the last.
    virtual bool next(TableRow& row) = 0;
    // The columns (from 0) whose names cannot be read, and are refused
    // already: known once the first row is given.
    virtual const std::vector<std::size_t>& unreadableNames() const = 0;

    virtual ~TableRowSource() = default;
};

// Rows that are all there already, each let go once given.
class HeldRows : public TableRowSource {
public:
    explicit HeldRows(std::vector<TableRow> rows, std::vector<std::size_t> unreadableNames = {});

    bool next(TableRow& row) override;
    const std::vector<std::size_t>& unreadableNames() const override { return unreadable; }

private:
    std::vector<TableRow> rows;
    std::vector<std::size_t> unreadable;
    std::size_t given = 0;
};

// A table's text one row at a time, so that a large table need not be held
// whole. Rows end at CR LF, LF or a lone CR; a line break inside a quoted
// cell is kept as CR LF, whichever form the text had. A quote inside a
// quoted cell is doubled; in an unquoted cell it is a character like any
// other. A line break at the very end starts no further row.
class TableRowParser {
public:
    TableRowParser(std::string_view text, char separator);

    // The next row; false after the last, or at a row whose quoted cell
    // never closes.
    bool next(TableRow& row);
    // That row, from 1, once next has said false.
    std::optional<std::size_t> unclosedQuoteRow() const { return unclosed; }

private:
    // False when a quoted cell of the row never closes.
    bool readRow(TableRow& row);
    // Up to the closing quote; a doubled quote is one quote.
    bool readQuoted(std::string& cell);
    // Up to the separator or the line break; after a closing quote, what
    // stands before them belongs to the cell too, as spreadsheets read it.
    void readPlain(std::string& cell);
    void skipLineBreak();

    std::string_view text;
    char separator;
    std::size_t pos = 0;
    std::size_t rowNumber = 0;
    std::size_t firstWidth = 0;
    std::optional<std::size_t> unclosed;
};

bool needsQuotes(std::string_view cell, char separator);

// A table's text in pieces, each handed to `append` (cell texts whole or
// between quotes), so that an encoder converts them on the way. A cell is
// quoted when and only when it holds the separator, a quote, CR or LF;
// every row, the last one too, ends with CR LF.
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
