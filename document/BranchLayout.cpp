#include "document/BranchLayout.h"

#include "model/ProblemFields.h"
#include "model/ProblemKinds.h"

TextList fieldsInLayout(const ProblemBase& problem, int layoutKind)
{
    TextList ownTexts = getFields(problem);
    if (problem.type == layoutKind)
        return ownTexts;
    const ProblemKind* layout = findKind(layoutKind);
    if (!layout)
        return {};
    const ProblemKind* own = findKind(problem.type);
    TextList texts;
    for (std::size_t i = 0; i < layout->fieldCount(); ++i) {
        // The first text of every kind is its naming text: question, or first hint.
        if (i == 0) {
            texts.push_back(ownTexts.empty() ? kBlankText : ownTexts.front());
            continue;
        }
        const std::optional<std::size_t> position = own ? own->positionOf(layout->placeOf(i)) : std::nullopt;
        texts.push_back(position ? ownTexts[*position] : kBlankText);
    }
    return texts;
}
