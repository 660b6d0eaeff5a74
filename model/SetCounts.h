// How many problems of each kind a set has, and the sentence that says it.
#pragma once

#include "model/ProblemKinds.h"
#include "model/ProblemList.h"

#include <cstddef>
#include <string>
#include <vector>

// How many problems of each kind (in tag order) and branches a set has.
struct SetCounts {
    std::size_t problems = 0;
    std::size_t branches = 0;
    std::vector<std::size_t> ofKind = std::vector<std::size_t>(problemKinds().size());

    // A top-level problem with its branches.
    void add(const ProblemBase& problem);
};
SetCounts countsOf(const ProblemList& problems);

// "問題 3 問 (ox 1、四択 2、…)、分岐 4 問"
std::string summaryText(const SetCounts& counts);
