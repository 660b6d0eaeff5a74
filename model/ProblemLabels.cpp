#include "model/ProblemLabels.h"

#include "model/ProblemKinds.h"

std::string kindLabel(int kind)
{
    const ProblemKind* found = findKind(kind);
    return found ? found->listLabel : std::string();
}

std::string namingText(const ProblemBase& problem)
{
    const ProblemKind* kind = findKind(problem.type);
    const std::optional<std::size_t> naming = kind ? kind->positionOf(kind->namingField, 0) : std::nullopt;
    return naming ? kind->textsOf(problem)[*naming] : std::string();
}
