#include "model/SetCounts.h"

void SetCounts::add(const ProblemBase& problem)
{
    ++problems;
    branches += problem.getBranches().size();
    if (isKnownKind(problem.type))
        ++ofKind[static_cast<std::size_t>(problem.type)];
}

SetCounts countsOf(const ProblemList& problems)
{
    SetCounts counts;
    for (const ProblemPtr& problem : problems)
        counts.add(*problem);
    return counts;
}
