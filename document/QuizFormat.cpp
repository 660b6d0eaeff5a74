#include "document/QuizFormat.h"

#include "model/Problem.h"

namespace {

const char* const kKindNames[kProblemTypeCount] = {"ox", "yontaku", "rensou", "narabekae", "panel", "slot"};

std::vector<std::string> repeated(std::vector<std::string> names, const std::string& name, std::size_t count)
{
    names.insert(names.end(), count, name);
    return names;
}

} // namespace

const char* kindElementName(int kind)
{
    return kind >= 0 && kind < kProblemTypeCount ? kKindNames[kind] : nullptr;
}

int kindOfElementName(const std::string& name)
{
    for (int kind = 0; kind < kProblemTypeCount; ++kind)
        if (name == kKindNames[kind])
            return kind;
    return -1;
}

const std::vector<std::string>& fieldElementNames(int kind)
{
    static const std::vector<std::string> questionAnswer = {"question", "answer"};
    static const std::vector<std::string> layouts[kProblemTypeCount] = {
        questionAnswer,
        repeated(questionAnswer, "dummy", kMinDummies),
        repeated(repeated(repeated({}, "hint", kMinHints), "answer", 1), "dummy", kMinDummies),
        questionAnswer,
        repeated(questionAnswer, "panel", kMinPanels),
        repeated(questionAnswer, "reel", kMinReels),
    };
    static const std::vector<std::string> none;
    return kind >= 0 && kind < kProblemTypeCount ? layouts[kind] : none;
}

bool isListElementName(const std::string& name)
{
    return name == "dummy" || name == "hint" || name == "panel" || name == "reel";
}
