// export to a page: the problems of a quiz file as the walk gives them,
// reviewed as check reviews them, written as one page (PageWriter.h).
#pragma once

#include "model/SetCounts.h"
#include "zibconv/page/PageWriter.h"

#include <optional>
#include <string>
#include <vector>

// A set read and reviewed: its page is made as it is written, piece by
// piece, and never held whole.
struct ExportedPage {
    std::string fileName; // as the page names the set
    ProblemList problems;
    std::vector<ContentFinding> findings;
    SetCounts counts;

    bool writeTo(const PageSink& write) const { return writeSetPage(fileName, problems, findings, write); }
};

// Nothing when the file cannot be read as XML.
std::optional<ExportedPage> exportQuizPage(const std::string& path);

// The last part of a path as the page names the set, in UTF-8: the name as
// the system gave it (UTF-8 on Linux, code page 932 on Windows).
std::string pageFileName(const std::string& path);
