#include "document/BranchLayout.h"

#include "model/ProblemFields.h"
#include "model/ProblemKinds.h"

#include <algorithm>
#include <vector>

namespace {

// The text of the `occurrence`-th text of `field` in the problem's own
// field list, or blank text when it has none.
std::string ownText(const std::vector<Field>& ownFields, const TextList& ownTexts, Field field,
                    std::size_t occurrence)
{
    for (std::size_t i = 0; i < ownFields.size(); ++i) {
        if (ownFields[i] != field)
            continue;
        if (occurrence == 0)
            return ownTexts[i];
        --occurrence;
    }
    return kBlankText;
}

} // namespace

TextList fieldsInLayout(const ProblemBase& problem, int layoutKind)
{
    TextList ownTexts = getFields(problem);
    if (problem.type == layoutKind)
        return ownTexts;
    const ProblemKind* layout = findKind(layoutKind);
    if (!layout)
        return {};
    const ProblemKind* own = findKind(problem.type);
    const std::vector<Field> ownFields = own ? own->textFields : std::vector<Field>();
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
        texts.push_back(ownText(ownFields, ownTexts, layoutFields[i], static_cast<std::size_t>(occurrence)));
    }
    return texts;
}
