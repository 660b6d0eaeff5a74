// export's reading: a quiz file straight into a table's bytes, each
// problem's rows encoded as the walk gives them, so that only the table
// grows while the file is read.
#pragma once

#include "model/SetCounts.h"
#include "zibconv/tables/RowSink.h"
#include "zibconv/tables/TableTypes.h"

#include <optional>
#include <string>

struct ExportedTable {
    // Nothing when a text is no Shift-JIS.
    std::optional<std::string> bytes;
    SetCounts counts;
};

// Nothing when the file cannot be read as XML.
std::optional<ExportedTable> exportQuizFile(const std::string& path, RowSink& sink);
