// check's report as one JSON document (UTF-8): "losses", "notes",
// "findings" and "summary". Each loss and finding has "problem" and
// "branch" (numbers from 1, or null), "kind" (the file's name of the kind,
// or null), "field" ({"name", "index"}, or null), "rule" and "text"; a
// finding also has "message", the report's sentence, and a group of the
// same problems has "same", every problem of the group.
#pragma once

#include "review/ContentReview.h"
#include "zibconv/check/CheckedSet.h"

#include <string>
#include <vector>

std::string jsonReport(const CheckedSet& set, const std::vector<ContentFinding>& findings);
