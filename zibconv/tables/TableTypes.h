// The two facts about tables that the command line and every table reader
// share, apart from the tables themselves.
#pragma once

#include <cstddef>
#include <string>

enum class TableEncoding { Utf8, ShiftJis };

// What import found in a table, wrong or worth a notice: the row as a
// spreadsheet numbers it (the column names are row 1; 0 is the table as a
// whole), the column's name (empty for a whole row, or when the name
// itself cannot be read: then its number from 1 says which), and what is
// found, in Shift-JIS.
struct TableFinding {
    std::size_t row = 0;
    std::string column;
    std::string message;
    std::size_t columnNumber = 0;
    // A workbook's cell as the spreadsheet names it ("C12"), where known.
    std::string cell{};
};

// "3 行目 answer 列: " (or "1 行目 4 列目: ", or "C12 answer 列: ") before a
// table finding's message; empty for the table.
std::string placeOf(const TableFinding& finding);
