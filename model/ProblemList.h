// The document: the top-level problems of the set, in saving and listing
// order. There is one for the whole run: the editing context and the quiz
// file's load and save reach it directly (the editor's windows only through
// the editing context, which also gives the selection dialog its lines),
// and zibconv's import fills it before it saves.
#pragma once

#include "model/Problem.h"

using ProblemList = ProblemRefs;

extern ProblemList problemList;
