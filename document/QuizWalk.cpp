#include "document/QuizWalk.h"

#include "document/FieldPlacement.h"
#include "document/QuizFormat.h"
#include "xml/XMLFile.h"

#include <algorithm>
#include <utility>
#include <vector>

bool isElementNode(const XMLNodes& node)
{
    return !node.nameView().starts_with('#') && node.textView().empty();
}

bool isProcessingInstruction(const XMLNodes& node)
{
    return !node.nameView().starts_with('#') && !node.textView().empty() && node.childrenView().empty();
}

bool walkQuizFile(const std::string& path, QuizWalkReceiver& receiver)
{
    QuizWalk walk(receiver);
    return streamXMLFile(path, [&walk](const XMLNodes& child) { walk.walkChild(child); });
}

void QuizWalk::walkDocument(const XMLNodes& root)
{
    for (const XMLNodesPtr& child : root.childrenView())
        walkChild(*child);
}

void QuizWalk::walkChild(const XMLNodes& element)
{
    QuizPlace place{.position = ++position, .kind = kindOfElement(element.nameView())};
    QuizLoss where{.reason = LossReason::NotAKind, .place = place, .node = &element};
    if (!place.kind) {
        receiver.loss(where);
        return;
    }
    // The last `main` is the problem; its branches have no parent without one.
    const XMLNodesList& children = element.childrenView();
    std::size_t lastMain = children.size();
    for (std::size_t i = 0; i < children.size(); ++i)
        if (children[i]->nameView() == kMainElementName)
            lastMain = i;
    if (lastMain == children.size()) {
        where.reason = LossReason::NoMain;
        where.subs = static_cast<std::size_t>(std::count_if(children.begin(), children.end(), [](const XMLNodesPtr& c) {
            return c->nameView() == kSubElementName;
        }));
        receiver.loss(where);
        return;
    }
    place.problem = ++problems;
    ProblemPtr main;
    ProblemRefs branches;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const XMLNodes& child = *children[i];
        if (i == lastMain) {
            main = walkGroup(child, place);
        } else if (child.nameView() == kSubElementName) {
            QuizPlace branch = place;
            branch.branch = branches.size() + 1;
            branches.push_back(walkGroup(child, branch));
        } else {
            const bool isMain = child.nameView() == kMainElementName;
            receiver.loss({.reason = isMain ? LossReason::EarlierMain : LossReason::NotMainOrSub,
                           .place = place,
                           .node = &child,
                           .index = i + 1});
        }
    }
    for (ProblemPtr& branch : branches)
        main->addBranch(std::move(branch));
    receiver.problem(std::move(main));
}

ProblemPtr QuizWalk::walkGroup(const XMLNodes& group, const QuizPlace& place)
{
    const ProblemKind& kind = *place.kind;
    TextList texts(kind.fieldCount(), kBlankText);
    std::vector<Field> blankSeen; // lists with a blank element so far
    bool blankMoves = false;
    for (const XMLNodesPtr& field : group.childrenView()) {
        QuizLoss loss{.reason = LossReason::NotAField, .place = place, .node = field.get()};
        switch (placeField(texts, kind, *field, &loss.text)) {
        case Placement::NotAField:
            receiver.loss(loss);
            continue;
        case Placement::ListFull:
            loss.reason = LossReason::ListFull;
            loss.text = fieldText(*field);
            if (loss.text != kBlankText)
                receiver.loss(loss);
            continue;
        case Placement::Replaced:
            loss.reason = LossReason::ReplacedField;
            receiver.loss(loss);
            break;
        case Placement::Placed: {
            const FieldInfo& placed = *kind.fieldOfElement(field->nameView());
            const bool seen = std::find(blankSeen.begin(), blankSeen.end(), placed.field) != blankSeen.end();
            if (placed.isList && fieldText(*field) == kBlankText)
                blankSeen.push_back(placed.field);
            else if (seen)
                blankMoves = true;
            break;
        }
        }
        loss.text.clear();
        walkFieldContent(*field, loss);
    }
    if (blankMoves)
        receiver.blankClosesUp(place);
    return kind.create(std::move(texts));
}

// Only the first child's text is a field's text.
void QuizWalk::walkFieldContent(const XMLNodes& field, const QuizLoss& where)
{
    const XMLNodesList& children = field.childrenView();
    for (std::size_t i = 0; i < children.size(); ++i) {
        QuizLoss loss = where;
        loss.node = children[i].get();
        loss.field = &field;
        loss.index = i + 1;
        if (i > 0) {
            loss.reason = LossReason::ExtraChild;
            receiver.loss(loss);
        } else if (isElementNode(*children[i]) && !children[i]->childrenView().empty()) {
            loss.reason = LossReason::NestedContent;
            receiver.loss(loss);
        }
    }
}
