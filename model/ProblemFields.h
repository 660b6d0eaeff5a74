// A problem's texts as one flat list in field order: the order in which the
// editor reads its fields and the quiz file lists its field elements.
//   OX, NARABEKAE: question, answer
//   YONTAKU:       question, answer, 3 dummies
//   RENSOU:        4 hints, answer, 3 dummies
//   PANEL:         question, answer, 10 panels
//   SLOT:          question, answer, 6 reels
#pragma once

#include "model/Problem.h"

// Number of texts of a kind; 0 for a tag outside 0-5.
std::size_t fieldCount(int kind);

// A new problem of the class of `kind`, tagged `kind`; missing texts are
// empty. Null for a tag outside 0-5.
ProblemPtr createProblem(int kind, TextList fields);

// Exactly fieldCount(problem.type) texts: list entries beyond the kind's
// count are left out. Empty for a tag outside 0-5.
TextList getFields(const ProblemBase& problem);

// setContents with the texts in field order; keeps type and branches.
void setFields(ProblemBase& problem, TextList fields);
