// The cells of a CSV or TSV export that a spreadsheet opening the file
// would turn into something else (Calc's standard import and Excel alike):
// numbers with their leading zeros gone, dates, times, fractions, formulas,
// signs, full-width digits taken as digits, booleans.
#pragma once

#include "zibconv/tables/RowSink.h"
#include "zibconv/tables/TableTypes.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

// Whether a spreadsheet would retype this Shift-JIS cell.
bool spreadsheetWouldRetype(std::string_view shiftJis);

// Passes rows on to a table's sink and counts, with the first few places
// (named by row and column as import names them), the cells a spreadsheet
// would retype. The first row is the column names.
class RetypeCounter : public RowSink {
public:
    explicit RetypeCounter(std::unique_ptr<RowSink> inner);

    bool append(const std::vector<TableRow>& rows) override;
    std::optional<std::string> finish() override;

    std::size_t count = 0;
    std::vector<TableFinding> first; // at most kPlacesKept

    static constexpr std::size_t kPlacesKept = 5;

private:
    std::unique_ptr<RowSink> sink;
    TableRow names;
    std::size_t rowNumber = 0;
};
