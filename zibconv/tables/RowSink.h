// Where export's rows go: a table file's bytes or a workbook's, built a few
// rows at a time as the quiz file is walked.
#pragma once

#include "zibconv/tables/TableText.h"

#include <optional>
#include <string>
#include <vector>

class RowSink {
public:
    // False, and the sink fails for good, when a text cannot be written.
    virtual bool append(const std::vector<TableRow>& rows) = 0;
    // The whole file's bytes; nothing when an append failed.
    virtual std::optional<std::string> finish() = 0;

    virtual ~RowSink() = default;
};
