#pragma once

#include "model/Problem.h"

#include <string>

// The problem list in one line per problem: kind, texts in field order with
// "|" between them, then each branch as " > " kind and texts.
std::string describeProblemList();

// A problem of `kind` whose texts are `prefix` + position ("q0", "q1", ...).
ProblemPtr numberedProblem(int kind, const std::string& prefix);

// A file holding `<?xml ...SHIFT_JIS?>` + `body`, at `path`.
void writeQuizFile(const std::string& path, const std::string& body);
