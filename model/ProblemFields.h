// A problem's texts as one flat list in field order: the order in which the
// editor reads its fields and the quiz file lists its field elements. The
// kind table (ProblemKinds.h) gives each kind's field order.
#pragma once

#include "model/Problem.h"

// Number of texts of a kind; 0 for a tag of no kind.
std::size_t fieldCount(int kind);

// A new problem of the class of `kind`, tagged `kind`; missing texts are
// empty. Null for a tag of no kind.
ProblemPtr createProblem(int kind, TextList fields);

// Exactly fieldCount(problem.type) texts: list entries beyond the kind's
// count are left out. Empty for a tag of no kind.
TextList getFields(const ProblemBase& problem);

// setContents with the texts in field order; keeps type and branches.
void setFields(ProblemBase& problem, TextList fields);
