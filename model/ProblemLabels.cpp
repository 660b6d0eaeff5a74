#include "model/ProblemLabels.h"

#include "model/ProblemKinds.h"

#include <algorithm>

std::string kindLabel(int kind)
{
    const ProblemKind* found = findKind(kind);
    return found ? found->listLabel : std::string();
}

std::string namingText(const ProblemBase& problem)
{
    const ProblemKind* kind = findKind(problem.type);
    if (!kind)
        return {};
    const std::vector<Field>& fields = kind->textFields;
    const auto naming = std::find(fields.begin(), fields.end(), kind->namingField);
    return naming == fields.end() ? std::string() : kind->textsOf(problem)[static_cast<std::size_t>(naming - fields.begin())];
}
