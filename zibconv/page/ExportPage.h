// export to a page: the problems of a quiz file as the walk gives them,
// reviewed as check reviews them, written as one page (PageWriter.h).
#pragma once

#include "model/SetCounts.h"

#include <optional>
#include <string>

struct ExportedPage {
    std::string bytes;
    SetCounts counts;
};

// Nothing when the file cannot be read as XML.
std::optional<ExportedPage> exportQuizPage(const std::string& path);

// The last part of a path as the page names the set, in UTF-8: the name as
// the system gave it (UTF-8 on Linux, code page 932 on Windows).
std::string pageFileName(const std::string& path);
