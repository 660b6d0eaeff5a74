#pragma once

#include "model/Problem.h"

// A problem's texts in the field list of `layoutKind`, read only through the
// problem's own kind. The file stores a branch in its parent's layout and
// has no place for the branch's own kind, so a branch of another kind is
// mapped by meaning: its naming text (question, or first hint) to the
// layout's first field, and every other element by name and position
// (answer to answer, the n-th wrong choice to the n-th `dummy`, ...).
// Whatever the problem lacks is blank text. For a problem of the layout's
// own kind this is exactly its field list.
TextList fieldsInLayout(const ProblemBase& problem, int layoutKind);
