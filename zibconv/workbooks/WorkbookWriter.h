// A quiz set's rows as an Office Open XML workbook (.xlsx), which
// spreadsheets open by double-click and leave as it is: one worksheet,
// every cell a string, every column formatted as text ("@") so that what
// is typed there later stays text too, the column names' row frozen, and
// wrapped text so that line breaks show. Written with libxlsxwriter.
#pragma once

#include "files/FileIO.h"
#include "zibconv/tables/RowSink.h"

#include <memory>
#include <string>

struct WorkbookParts;

class WorkbookWriter : public RowSink {
public:
    // The workbook is built in `work` (libxlsxwriter opens it by its
    // library name; its own temporary files go to the system's folder) and
    // removed again by finish or the destructor.
    explicit WorkbookWriter(WorkFile work);
    ~WorkbookWriter() override;
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Cells are Shift-JIS texts, converted as the CSV export converts them;
    // a line break is one line feed, as spreadsheets keep it in a cell.
    // False for a text that is not Shift-JIS or longer than a cell holds.
    bool append(const std::vector<TableRow>& rows) override;
    std::optional<std::string> finish() override;

private:
    WorkFile file;
    std::unique_ptr<WorkbookParts> parts;
    std::size_t nextRow = 0;
    bool failed = false;
};
