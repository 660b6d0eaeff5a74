// A table's bytes: UTF-8 with a byte-order mark (so that Excel takes it as
// UTF-8) or Shift-JIS on the way out; on the way in also UTF-16 with its
// mark, as Excel's "Unicode text", and UTF-8 or Shift-JIS told apart by
// their bytes when no mark says which.
#pragma once

#include "zibconv/tables/RowSink.h"
#include "zibconv/tables/TableText.h"
#include "zibconv/tables/TableTypes.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Rows of Shift-JIS cells as the bytes of a table file, a few rows at a
// time, so that only the file's bytes grow.
class TableEncoder : public RowSink {
public:
    // Room for `expectedBytes` is taken at once: a table grown by doubling
    // would for a moment take its old and its new room side by side.
    TableEncoder(char separator, TableEncoding encoding, std::size_t expectedBytes = 0);

    // False, and the encoder fails for good, when a text is not Shift-JIS.
    bool append(const std::vector<TableRow>& rows) override;
    // The whole file's bytes; nothing when an append failed.
    std::optional<std::string> finish() override;

private:
    char separator;
    TableEncoding encoding;
    bool failed = false;
    std::string bytes;
};

// Why bytes are no table but a file of another kind (a workbook, a zip),
// in Shift-JIS; null for what may be a table.
const char* notTextReason(std::string_view bytes);

// The first bytes of a zip, and so of a workbook.
constexpr std::string_view kZipSignature{"PK\x03\x04", 4};

// The rows of a table file with their cells in Shift-JIS. `given` is the
// encoding the user named, which overrides the detection. Every cell that
// cannot be read, or holds a character code page 932 or a quiz file cannot
// hold, is a finding; such a cell is read as empty. In a table whose bytes
// decide, cells of UTF-8 among cells of Shift-JIS are findings, the fewer
// of the two. `unreadableNames` are the columns (from 0) whose name is such
// a cell: the finding says all there is to say about them.
// They come one row at a time, each decoded as it is read, so that a large
// table is never held whole beside its problems.
class DecodedRows : public TableRowSource {
public:
    // The bytes must outlive the reader.
    DecodedRows(std::string_view bytes, char separator, std::optional<TableEncoding> given);
    // A workbook's rows, their cells UTF-8; each is let go once given.
    explicit DecodedRows(std::vector<TableRow> utf8Rows);
    ~DecodedRows() override;

    bool next(TableRow& row) override;
    const std::vector<std::size_t>& unreadableNames() const override;
    // Every finding, once next has said false.
    std::vector<TableFinding> takeFindings();

private:
    class Reader;
    std::unique_ptr<Reader> reader;
};
