// The quiz file of the whole problem list.
#pragma once

#include "model/ProblemList.h"
#include "xml/XMLNodes.h"

#include <string>

// Writes `problemList` to the file at `path` (Shift-JIS bytes). False when
// the XML layer could not write it, or when a problem carries a kind tag
// of no kind, which the file has no element for; the file is then
// untouched.
bool saveProblemList(std::string path);

// Replaces `problemList` with the problems of the file at `path`. False,
// with the list unchanged, when the file cannot be read as XML.
bool loadProblemList(std::string path);

// The problems of a quiz file's element tree, as loadProblemList reads them.
ProblemList problemsOfDocument(const XMLNodes& root);
