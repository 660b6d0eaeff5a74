#include "model/ProblemFields.h"

#include "model/ProblemKinds.h"

#include <utility>

std::size_t fieldCount(int kind)
{
    const ProblemKind* found = findKind(kind);
    return found ? found->fieldCount() : 0;
}

ProblemPtr createProblem(int kind, TextList fields)
{
    const ProblemKind* found = findKind(kind);
    return found ? found->create(std::move(fields)) : nullptr;
}

TextList getFields(const ProblemBase& problem)
{
    const ProblemKind* found = findKind(problem.type);
    return found ? found->textsOf(problem) : TextList();
}

void setFields(ProblemBase& problem, TextList fields)
{
    if (const ProblemKind* found = findKind(problem.type))
        found->setTexts(problem, std::move(fields));
}
