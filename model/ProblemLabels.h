// How a problem is named on screen: its kind label and its naming text.
#pragma once

#include "model/Problem.h"

#include <string>

// The list label of the kind table; empty for a tag of no kind.
std::string kindLabel(int kind);

// The first text of the kind's naming field: the question, or for an
// association problem its first hint. Empty for a tag of no kind.
std::string namingText(const ProblemBase& problem);
