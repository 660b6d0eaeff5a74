#include "document/ProblemListFile.h"
#include "document/QuizFormat.h"
#include "model/ProblemKinds.h"
#include "model/ProblemList.h"
#include "xml/ReplaceAll.h"
#include "xml/XMLFile.h"

#include <utility>

namespace {

// The text of a field element: that of its first child, blank when empty,
// with the file's bare line feeds turned back into CR LF.
std::string fieldText(const XMLNodes& field)
{
    const XMLNodesList& children = field.childrenView();
    std::string text = children.empty() ? std::string() : children.front()->textView();
    if (text.empty())
        text = kBlankText;
    return replaceAll(std::move(text), "\n", "\r\n");
}

// Puts a field element's text into the field list of `kind`: single texts
// (`question`, `answer`) are overwritten, list elements take the first
// position still blank, names the kind does not use are ignored.
void placeField(TextList& texts, const ProblemKind& kind, const XMLNodes& element)
{
    const std::string& name = element.nameView();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const FieldInfo& field = fieldInfo(kind.textFields[i]);
        if (name != field.elementName || (field.isList && texts[i] != kBlankText))
            continue;
        texts[i] = fieldText(element);
        return;
    }
}

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

bool loadProblemList(std::string path)
{
    XMLNodesPtr root = loadXMLFile(std::move(path));
    if (!root)
        return false;
    ProblemList problems;
    for (const XMLNodesPtr& element : root->childrenView())
        if (ProblemPtr problem = problemOf(*element))
            problems.push_back(std::move(problem));
    problemList = std::move(problems);
    return true;
}
