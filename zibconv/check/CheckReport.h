// check's report in words: what the editor (or import, for a table) would
// drop, then what the content review found, then a summary. The JSON form
// for programs is JsonReport.h.
#pragma once

#include "zibconv/check/CheckedSet.h"

#include <cstddef>
#include <string>
#include <vector>

// The text report, line by line, of a set and its content findings.
std::vector<std::string> textReport(const CheckedSet& set, const std::vector<ContentFinding>& findings);

// "内容に誤りらしいところが 3 件あります"
std::string findingCountText(std::size_t findings);
