// How a problem is named on screen: its kind label and its naming text.
#pragma once

#include "model/Problem.h"

#include <string>

// "【ox】", "【四択】", ... for kinds 0-5; empty for any other tag.
std::string kindLabel(int kind);

// The question, or for an association problem its first hint; empty for a
// tag outside 0-5.
std::string namingText(const ProblemBase& problem);
