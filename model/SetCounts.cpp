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

std::string summaryText(const SetCounts& counts)
{
    std::string perKind;
    for (const ProblemKind& kind : problemKinds())
        perKind += (perKind.empty() ? "" : "、") + std::string(kind.comboText) + " " +
                   std::to_string(counts.ofKind[static_cast<std::size_t>(kind.tag)]);
    return "問題 " + std::to_string(counts.problems) + " 問 (" + perKind + ")、分岐 " +
           std::to_string(counts.branches) + " 問";
}
