#include "document/EditingContext.h"

#include "document/ProblemListFile.h"
#include "model/ProblemFields.h"
#include "model/ProblemKinds.h"
#include "model/ProblemLabels.h"
#include "model/ProblemList.h"

#include <utility>

namespace {

const char kPickedLabelPrefix[] = "編集中の問題:";
const char kBranchParentLabelPrefix[] = "分岐前の問題:";
// A space and U+2517: branch lines carry no kind label.
const char kBranchMarker[] = " ┗";

struct Line {
    ProblemPtr problem;
    ProblemPtr parent; // set when the line is a branch
};

// The walk of the selection list: each top-level problem, then its direct
// branches. Stops when `visit` returns true.
template <class Visit>
void walkLines(Visit visit)
{
    for (const ProblemPtr& problem : problemList) {
        if (visit(Line{problem, nullptr}))
            return;
        for (const ProblemPtr& branch : problem->getBranches())
            if (visit(Line{branch, problem}))
                return;
    }
}

Line lineAt(int index)
{
    Line found;
    int count = 0;
    walkLines([&](Line line) {
        if (count++ != index)
            return false;
        found = std::move(line);
        return true;
    });
    return found;
}

std::string pickedLabel(const ProblemBase& problem)
{
    return kPickedLabelPrefix + kindLabel(problem.type) + namingText(problem);
}

} // namespace

EditResult EditingContext::add(int kind, TextList texts)
{
    if (target && target->type != kind)
        return {EditChange::RefusedOtherKind, std::nullopt};
    if (!isKnownKind(kind))
        return {};
    if (target) {
        setFields(*std::exchange(target, nullptr), std::move(texts));
        return {EditChange::Overwrote, kFreshProblemLabel};
    }
    if (parent) {
        std::exchange(parent, nullptr)->addBranch(createProblem(kind, std::move(texts)));
        return {EditChange::AppendedBranch, kFreshProblemLabel};
    }
    problemList.push_back(createProblem(kind, std::move(texts)));
    return {EditChange::Appended, std::nullopt};
}

EditResult EditingContext::branch(int kind, TextList texts)
{
    if (!isKnownKind(kind))
        return {};
    ProblemPtr nextParent = parent ? parent : target;
    const EditResult added = add(kind, std::move(texts));
    if (!nextParent)
        nextParent = problemList.back();
    parent = std::move(nextParent);
    target = nullptr;
    return {added.change, kBranchParentLabelPrefix + namingText(*parent)};
}

EditResult EditingContext::newProblem()
{
    target = nullptr;
    parent = nullptr;
    return {EditChange::None, kFreshProblemLabel};
}

EditResult EditingContext::select(int line)
{
    Line picked = lineAt(line);
    if (!picked.problem)
        return {};
    target = std::move(picked.problem);
    if (picked.parent)
        parent = std::move(picked.parent);
    return {EditChange::Picked, pickedLabel(*target)};
}

void EditingContext::newSet()
{
    problemList.clear();
    newProblem();
}

bool EditingContext::open(std::string path)
{
    if (!loadProblemList(std::move(path)))
        return false;
    // The picked problem and the branch parent belong to the set just
    // replaced: an Add into them would silently lose the user's typing.
    newProblem();
    return true;
}

std::vector<std::string> selectionLines()
{
    std::vector<std::string> lines;
    walkLines([&](const Line& line) {
        lines.push_back(line.parent ? kBranchMarker + namingText(*line.problem)
                                    : kindLabel(line.problem->type) + namingText(*line.problem));
        return false;
    });
    return lines;
}
