#include "model/ProblemLabels.h"

#include "model/ProblemFields.h"

std::string kindLabel(int kind)
{
    static const char* const labels[kProblemTypeCount] = {
        "【ox】", "【四択】", "【連想】", "【並替】", "【パネ】", "【スロ】",
    };
    if (kind < 0 || kind >= kProblemTypeCount)
        return {};
    return labels[kind];
}

std::string namingText(const ProblemBase& problem)
{
    // Field 0 is the question, or the first hint of an association problem.
    TextList fields = getFields(problem);
    return fields.empty() ? std::string() : fields.front();
}
