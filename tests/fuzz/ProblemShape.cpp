#include "ProblemShape.h"

#include "model/ProblemFields.h"
#include "model/ProblemKinds.h"

std::string shapeFault(const ProblemBase& problem, bool isBranch)
{
    if (!isKnownKind(problem.type))
        return "a problem of no kind";
    const TextList texts = getFields(problem);
    if (texts.size() != fieldCount(problem.type))
        return "a problem without its count of texts";
    for (const std::string& text : texts)
        if (text.empty())
            return "an empty text";
    const ProblemRefs branches = problem.getBranches();
    if (isBranch && !branches.empty())
        return "a branch with branches";
    for (const ProblemPtr& branch : branches) {
        if (!branch)
            return "an empty branch";
        if (branch->type != problem.type)
            return "a branch of another kind";
        if (std::string fault = shapeFault(*branch, true); !fault.empty())
            return fault;
    }
    return {};
}

std::string describeExactly(const ProblemBase& problem)
{
    std::string out = std::to_string(problem.type);
    for (const std::string& text : getFields(problem))
        out += "|" + std::to_string(text.size()) + ":" + text;
    for (const ProblemPtr& branch : problem.getBranches())
        out += "{" + describeExactly(*branch) + "}";
    return out;
}
