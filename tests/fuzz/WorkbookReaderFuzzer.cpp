// Arbitrary bytes as a workbook file through zibconv's workbook reader and
// on into the table's rules, as import takes them. Besides the sanitizers'
// findings it traps when a refused or foreign workbook still gives rows, or
// when a read one holds a row beyond the bounds.
#include "zibconv/tables/QuizTable.h"
#include "zibconv/tables/TableFile.h"
#include "zibconv/workbooks/WorkbookReader.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// The file of one run, removed when the fuzzer ends.
struct BookFile {
    std::string path =
        (std::filesystem::temp_directory_path() / ("zib-workbook-fuzz-" + std::to_string(getpid()) + ".xlsx")).string();
    ~BookFile() { std::filesystem::remove(path); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const BookFile file;
    {
        std::ofstream out(file.path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    WorkbookTable book = readWorkbook(file.path);
    if (book.status != WorkbookTable::Status::Read) {
        require(book.rows.empty());
        return 0;
    }
    require(book.rows.size() <= kMaxWorkbookRows);
    for (const TableRow& row : book.rows)
        require(row.size() <= kMaxWorkbookColumns);
    // As import reads them: a row at a time.
    DecodedRows rows(std::move(book.rows));
    problemsFromRows(rows);
    return 0;
}
