// A quiz set as a spreadsheet table and back: one row per problem, each
// top-level problem followed by its branches, one column per field text.
#pragma once

#include "model/ProblemList.h"
#include "zibconv/TableText.h"
#include "zibconv/TableTypes.h"

#include <cstddef>
#include <string>
#include <vector>

// "kind", "level", then the columns of the field texts.
std::vector<std::string> tableColumnNames();

// The column names, then a row for each problem and each of its branches.
// Cells are the problems' Shift-JIS texts; blank text is an empty cell.
std::vector<TableRow> problemRows(const ProblemList& problems);
// The rows of one top-level problem and its branches; none for a problem
// of no kind.
std::vector<TableRow> rowsOfProblem(const ProblemBase& problem);

// The problems of rows whose cells are Shift-JIS already, the first row
// being the column names. Every finding is listed; the problems are only
// complete when there is none.
struct ImportedProblems {
    ProblemList problems;
    std::vector<TableFinding> findings;
};
ImportedProblems problemsFromRows(const std::vector<TableRow>& rows);
