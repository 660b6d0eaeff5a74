#include "document/BranchLayout.h"

#include "model/ProblemFields.h"
#include "model/ProblemKinds.h"

#include <algorithm>
#include <vector>

TextList fieldsInLayout(const ProblemBase& problem, int layoutKind)
{
    TextList ownTexts = getFields(problem);
    if (problem.type == layoutKind)
        return ownTexts;
    const ProblemKind* layout = findKind(layoutKind);
    if (!layout)
        return {};
    const ProblemKind* own = findKind(problem.type);
    const std::vector<Field>& layoutFields = layout->textFields;
    TextList texts;
    for (std::size_t i = 0; i < layoutFields.size(); ++i) {
        // The first text of every kind is its naming text: question, or first hint.
        if (i == 0) {
            texts.push_back(ownTexts.empty() ? kBlankText : ownTexts.front());
            continue;
        }
        const auto occurrence = std::count(layoutFields.begin(), layoutFields.begin() + static_cast<std::ptrdiff_t>(i),
                                           layoutFields[i]);
        const std::optional<std::size_t> position =
            own ? own->positionOf(layoutFields[i], static_cast<std::size_t>(occurrence)) : std::nullopt;
        texts.push_back(position ? ownTexts[*position] : kBlankText);
    }
    return texts;
}
