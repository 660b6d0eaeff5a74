#include "document/BranchLayout.h"
#include "document/ProblemListFile.h"
#include "document/QuizFormat.h"
#include "model/ProblemList.h"
#include "xml/XMLFile.h"

namespace {

bool isKnownKind(int kind)
{
    return kindElementName(kind) != nullptr;
}

// `main` or `sub`: one field element per text, each with its "#text" child.
XMLNodesPtr fieldGroup(const char* name, const ProblemBase& problem, int layoutKind)
{
    const std::vector<std::string>& fieldNames = fieldElementNames(layoutKind);
    TextList texts = fieldsInLayout(problem, layoutKind);
    XMLNodesList fields;
    fields.reserve(fieldNames.size());
    for (std::size_t i = 0; i < fieldNames.size(); ++i) {
        XMLNodesPtr field = makeXMLNodes(fieldNames[i]);
        field->addChildren({makeXMLNodes("#text", std::move(texts[i]))});
        fields.push_back(std::move(field));
    }
    XMLNodesPtr group = makeXMLNodes(name);
    group->addChildren(std::move(fields));
    return group;
}

// Null when the problem or one of its branches has no kind the file knows.
XMLNodesPtr kindElement(const ProblemBase& problem)
{
    if (!isKnownKind(problem.type))
        return nullptr;
    XMLNodesList children = {fieldGroup("main", problem, problem.type)};
    for (const ProblemPtr& branch : problem.getBranches()) {
        if (!branch || !isKnownKind(branch->type))
            return nullptr;
        children.push_back(fieldGroup("sub", *branch, problem.type));
    }
    XMLNodesPtr element = makeXMLNodes(kindElementName(problem.type));
    element->addChildren(std::move(children));
    return element;
}

XMLNodesPtr quizTree()
{
    XMLNodesList kindElements;
    kindElements.reserve(problemList.size());
    for (const ProblemPtr& problem : problemList) {
        XMLNodesPtr element = problem ? kindElement(*problem) : nullptr;
        if (!element)
            return nullptr;
        kindElements.push_back(std::move(element));
    }
    XMLNodesPtr root = makeXMLNodes("root");
    root->addChildren(std::move(kindElements));
    return root;
}

} // namespace

bool saveProblemList(std::string path)
{
    XMLNodesPtr root = quizTree();
    return root && saveXMLFile(root, std::move(path));
}
