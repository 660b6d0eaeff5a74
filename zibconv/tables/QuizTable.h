// A quiz set as a spreadsheet table and back: one row per problem, each
// top-level problem followed by its branches, one column per field text.
#pragma once

#include "model/ProblemKinds.h"
#include "model/ProblemList.h"
#include "zibconv/tables/TableText.h"
#include "zibconv/tables/TableTypes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One column of the table: "kind", "level", or one text of a field,
// `question`, or `dummy1` to `dummy3` for a list: as many as the kind with
// the longest such list has.
struct QuizColumn {
    std::string name;
    std::optional<TextPlace> text; // none for kind and level
};

// Every column in table order: kind, level, then the fields' texts in the
// order of the fields, as the kind table has them.
const std::vector<QuizColumn>& quizColumns();

// Null for a name of no column; exact, case-sensitive comparison.
const QuizColumn* quizColumnNamed(std::string_view name);

// The names of quizColumns(), the table's first row.
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
