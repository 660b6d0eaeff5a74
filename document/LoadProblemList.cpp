#include "document/FieldPlacement.h"
#include "document/ProblemListFile.h"
#include "document/QuizFormat.h"
#include "model/ProblemKinds.h"
#include "model/ProblemList.h"
#include "xml/XMLFile.h"

#include <utility>

namespace {

ProblemPtr problemFrom(const XMLNodes& group, const ProblemKind& kind)
{
    TextList texts(kind.fieldCount(), kBlankText);
    for (const XMLNodesPtr& field : group.childrenView())
        placeField(texts, kind, *field);
    return kind.create(std::move(texts));
}

// The problem of one kind element with its branches; null for an element of
// no known kind and for one without `main`, whose branches have no parent.
ProblemPtr problemOf(const XMLNodes& element)
{
    const ProblemKind* kind = kindOfElement(element.nameView());
    if (!kind)
        return nullptr;
    ProblemPtr main;
    ProblemRefs branches;
    for (const XMLNodesPtr& child : element.childrenView()) {
        const std::string& name = child->nameView();
        if (name == kMainElementName)
            main = problemFrom(*child, *kind);
        else if (name == kSubElementName)
            branches.push_back(problemFrom(*child, *kind));
    }
    if (!main)
        return nullptr;
    for (ProblemPtr& branch : branches)
        main->addBranch(std::move(branch));
    return main;
}

} // namespace

ProblemList problemsOfDocument(const XMLNodes& root)
{
    ProblemList problems;
    for (const XMLNodesPtr& element : root.childrenView())
        if (ProblemPtr problem = problemOf(*element))
            problems.push_back(std::move(problem));
    return problems;
}

bool loadProblemList(std::string path)
{
    XMLNodesPtr root = loadXMLFile(std::move(path));
    if (!root)
        return false;
    problemList = problemsOfDocument(*root);
    return true;
}
