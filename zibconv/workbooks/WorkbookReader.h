// The first worksheet of an Office Open XML workbook (.xlsx) as a table's
// rows, read with minizip and expat alike on both platforms. Cells:
// strings (shared, inline, rich text with its runs joined, phonetic runs
// left out) as they are; a number in a cell that is no date or time as the
// shortest decimal text that reads back as the same number, with a notice;
// a formula's cached string or number, with a notice (a string cell
// without a formula, as SheetJS writes them, is a string). Refused, with the
// cell named as the spreadsheet names it (C12): a date or time, a boolean,
// an error value, a formula without a cached value. What a workbook may
// make the program hold is bounded: each part's and all parts' size
// inflated, shared strings, rows and columns. A zip that cannot be read,
// or a workbook with a part missing or broken, is refused as damaged.
#pragma once

#include "zibconv/tables/TableText.h"
#include "zibconv/tables/TableTypes.h"

#include <string>
#include <vector>

struct WorkbookTable {
    enum class Status {
        Read,         // rows, with findings and notices
        NotAWorkbook, // a zip of no part under xl/ (an .ods, a .docx)
        Unreadable,   // a zip that cannot be read: its one finding says so
        Refused,      // findings say why (a part missing or broken too); no rows
    };
    Status status = Status::Read;
    // UTF-8 cells, each line break CR LF, the first row the column names.
    std::vector<TableRow> rows;
    std::vector<TableFinding> findings;
    std::vector<TableFinding> notices;
};

WorkbookTable readWorkbook(const std::string& path);

// Bounds on what a workbook may make the program hold.
constexpr std::size_t kMaxWorkbookPartBytes = 256u << 20;
constexpr std::size_t kMaxWorkbookBytes = 512u << 20;
constexpr std::size_t kMaxSharedStrings = 500000;
constexpr std::size_t kMaxWorkbookRows = 1048576;  // as Excel has them
constexpr std::size_t kMaxWorkbookColumns = 16384; // A to XFD

// "C12" for the cell of column 2 (from 0) and row 12.
std::string cellName(std::size_t column, std::size_t row);
