#include "document/FieldPlacement.h"

#include "xml/ReplaceAll.h"

#include <algorithm>
#include <utility>

std::string fieldText(const XMLNodes& element)
{
    const XMLNodesList& children = element.childrenView();
    std::string text = children.empty() ? std::string() : children.front()->textView();
    if (text.empty())
        text = kBlankText;
    return replaceAll(std::move(text), "\n", "\r\n");
}

Placement placeField(TextList& texts, const ProblemKind& kind, const XMLNodes& element, std::string* replaced)
{
    const std::string& name = element.nameView();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const FieldInfo& field = fieldInfo(kind.textFields[i]);
        if (name != field.elementName)
            continue;
        if (field.isList && texts[i] != kBlankText)
            continue;
        const bool replacing = !field.isList && texts[i] != kBlankText;
        if (replacing && replaced)
            *replaced = std::move(texts[i]);
        texts[i] = fieldText(element);
        return replacing ? Placement::Replaced : Placement::Placed;
    }
    const auto sameName = [&](Field f) { return name == fieldInfo(f).elementName; };
    return std::any_of(kind.textFields.begin(), kind.textFields.end(), sameName) ? Placement::ListFull
                                                                                  : Placement::NotAField;
}
