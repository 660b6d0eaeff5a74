// The shape every loaded or imported problem has, checked by the fuzz
// targets and the load replay alike.
#pragma once

#include "model/Problem.h"

#include <string>

// What is wrong with a problem as a load or an import builds it: a known
// kind, exactly its count of texts, none empty, and branches of the
// parent's kind one level deep. Empty when nothing is.
std::string shapeFault(const ProblemBase& problem, bool isBranch = false);

// The problem in one string: kind, every text with its length, branches in
// braces.
std::string describeExactly(const ProblemBase& problem);
