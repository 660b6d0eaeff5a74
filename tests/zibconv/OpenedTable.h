// What the editor's Open makes of an imported table, told apart from the
// import itself for the tests: every cell of only spaces, tabs and line
// breaks is empty, and each list's filled entries close up in their order.
// The property tests and the table fuzzer hold import to it: export of the
// quiz file that import writes is this table, cell for cell.
#pragma once

#include "zibconv/tables/TableText.h"

#include <cstddef>
#include <set>
#include <vector>

// `rows` are Shift-JIS cells that import accepts, the column names first;
// the result is in export's form: every column, kinds by their file
// names, `main` or `sub`, and no rows of empty cells.
std::vector<TableRow> tableAsOpened(const std::vector<TableRow>& rows);

// The rows (numbered as import numbers them) of which Open reads some text
// otherwise than the table has it: where import must give a notice.
std::set<std::size_t> rowsOpenedOtherwise(const std::vector<TableRow>& rows);
