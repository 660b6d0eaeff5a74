#include "document/FieldPlacement.h"

#include "text/LineBreaks.h"

#include <utility>

std::string fieldText(const XMLNodes& element)
{
    const XMLNodesList& children = element.childrenView();
    std::string text = children.empty() ? std::string() : children.front()->textView();
    if (text.empty())
        text = kBlankText;
    return lineFeedsAsCrLf(std::move(text));
}

Placement placeField(TextList& texts, const ProblemKind& kind, const XMLNodes& element, std::string* replaced)
{
    const FieldInfo* field = kind.fieldOfElement(element.nameView());
    if (!field)
        return Placement::NotAField;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (kind.placeOf(i).field != field->field || (field->isList && texts[i] != kBlankText))
            continue;
        const bool replacing = !field->isList && texts[i] != kBlankText;
        if (replacing && replaced)
            *replaced = std::move(texts[i]);
        texts[i] = fieldText(element);
        return replacing ? Placement::Replaced : Placement::Placed;
    }
    return Placement::ListFull;
}
