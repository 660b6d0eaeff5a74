// The two facts about tables that the command line and every table reader
// share, apart from the tables themselves.
#pragma once

#include <cstddef>
#include <string>

enum class TableEncoding { Utf8, ShiftJis };

// What import found wrong with a table: the row as a spreadsheet numbers
// it (the column names are row 1; 0 is the table as a whole) and the
// column's name (empty for a whole row), and what is wrong, in Shift-JIS.
struct TableFinding {
    std::size_t row = 0;
    std::string column;
    std::string message;
};
