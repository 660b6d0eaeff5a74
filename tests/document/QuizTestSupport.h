#pragma once

#include "model/ProblemList.h"

#include <string>

// Problems in one line each: kind, texts in field order with "|" between
// them, then each branch as " > " kind and texts.
std::string describeProblems(const ProblemList& problems);

// The same of the document, problemList.
std::string describeProblemList();

// A problem of `kind` whose texts are `prefix` + position ("q0", "q1", ...).
ProblemPtr numberedProblem(int kind, const std::string& prefix);

// A file holding `<?xml ...SHIFT_JIS?>` + `body`, at `path`.
void writeQuizFile(const std::string& path, const std::string& body);

// A member of a large group of the same problem in each kind: the same
// naming text and, where the answer is the content, the same answer; else
// an answer of its own (the n-th).
TextList groupMember(int kind, std::size_t n);
