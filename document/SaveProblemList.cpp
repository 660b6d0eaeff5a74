#include "document/BranchLayout.h"
#include "document/ProblemListFile.h"
#include "document/QuizFormat.h"
#include "model/ProblemKinds.h"
#include "model/ProblemList.h"
#include "xml/XMLFile.h"

namespace {

// `main` or `sub`: one field element per text, each with its "#text" child.
XMLNodesPtr fieldGroup(const char* name, const ProblemBase& problem, const ProblemKind& layout)
{
    TextList texts = fieldsInLayout(problem, layout.tag);
    XMLNodesList fields;
    fields.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        XMLNodesPtr field = makeXMLNodes(fieldInfo(layout.placeOf(i).field).elementName);
        field->addChildren({makeXMLNodes(std::string(kTextNodeName), std::move(texts[i]))});
        fields.push_back(std::move(field));
    }
    XMLNodesPtr group = makeXMLNodes(name);
    group->addChildren(std::move(fields));
    return group;
}

// Null when the problem or one of its branches has no kind the file knows.
XMLNodesPtr kindElement(const ProblemBase& problem)
{
    const ProblemKind* kind = findKind(problem.type);
    if (!kind)
        return nullptr;
    XMLNodesList children = {fieldGroup(kMainElementName, problem, *kind)};
    for (const ProblemPtr& branch : problem.getBranches()) {
        if (!branch || !isKnownKind(branch->type))
            return nullptr;
        children.push_back(fieldGroup(kSubElementName, *branch, *kind));
    }
    XMLNodesPtr element = makeXMLNodes(kind->elementName);
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
    XMLNodesPtr root = makeXMLNodes(kRootElementName);
    root->addChildren(std::move(kindElements));
    return root;
}

} // namespace

bool saveProblemList(std::string path)
{
    XMLNodesPtr root = quizTree();
    return root && saveXMLFile(root, std::move(path));
}

bool saveProblemListByProblem(std::string path)
{
    return saveXMLFileChildByChild(
        kRootElementName, problemList.size(),
        [](std::size_t i) { return problemList[i] ? kindElement(*problemList[i]) : nullptr; }, std::move(path));
}
