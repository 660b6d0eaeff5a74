// The document: the top-level problems of the set, in saving and listing
// order. There is one for the whole run; the editor, the conversions and the
// selection dialog reach it directly.
#pragma once

#include "model/Problem.h"

using ProblemList = ProblemRefs;

extern ProblemList problemList;
