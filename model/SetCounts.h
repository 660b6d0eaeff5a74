// How many problems of each kind a set has.
#pragma once

#include "model/ProblemKinds.h"
#include "model/ProblemList.h"

#include <cstddef>
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
