#include "document/BranchLayout.h"

#include "document/QuizFormat.h"
#include "model/ProblemFields.h"

#include <string>
#include <vector>

namespace {

// The text of the `occurrence`-th field element called `name` in the
// problem's own layout, or blank text when it has none.
std::string ownText(const std::vector<std::string>& ownNames, const TextList& ownTexts, const std::string& name,
                    std::size_t occurrence)
{
    for (std::size_t i = 0; i < ownNames.size(); ++i) {
        if (ownNames[i] != name)
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
    const std::vector<std::string>& ownNames = fieldElementNames(problem.type);
    const std::vector<std::string>& layout = fieldElementNames(layoutKind);
    TextList texts;
    for (std::size_t i = 0; i < layout.size(); ++i) {
        // Field 0 of every kind is the naming text: question, or first hint.
        if (i == 0) {
            texts.push_back(ownTexts.empty() ? kBlankText : ownTexts.front());
            continue;
        }
        std::size_t occurrence = 0;
        for (std::size_t k = 0; k < i; ++k)
            occurrence += layout[k] == layout[i] ? 1 : 0;
        texts.push_back(ownText(ownNames, ownTexts, layout[i], occurrence));
    }
    return texts;
}
