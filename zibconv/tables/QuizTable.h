// A quiz set as a spreadsheet table and back: one row per problem, each
// top-level problem followed by its branches, one column per field text.
#pragma once

#include "model/ProblemList.h"
#include "zibconv/tables/TableText.h"
#include "zibconv/tables/TableTypes.h"

#include <cstddef>
#include <string>
#include <vector>

// "kind", "level", then the columns of the field texts.
std::vector<std::string> tableColumnNames();

// The rows of one top-level problem and its branches, after the column
// names' row; none for a problem of no kind. Cells are the problems'
// Shift-JIS texts; blank text is an empty cell.
std::vector<TableRow> rowsOfProblem(const ProblemBase& problem);

// The problems of rows whose cells are Shift-JIS already, the first row
// being the column names; the columns of `unreadableNames` (from 0), whose
// names could not be read and are refused already, are left out. Every
// finding is listed; the problems are only complete when there is none.
// What is refused is what the editor's Open would not read back as it
// stands in the table (a text beyond the reader's limit among them).
// Notices tell where Open reads a cell otherwise than it stands: a cell of
// only spaces, tabs and line breaks, which Open drops, is taken as an
// empty cell; an empty entry of a list before a filled one is closed up.
struct ImportedProblems {
    TableRow names; // the first row, as read
    ProblemList problems;
    std::vector<TableFinding> findings;
    std::vector<TableFinding> notices;
};
// The rows are given one at a time, so that only one is held.
ImportedProblems problemsFromRows(TableRowSource& rows);

// A table file read as import reads it: its problems, notices, and every
// finding of its decoding and its rows.
struct TableRead {
    ImportedProblems imported;
    std::vector<TableFinding> findings;
};
