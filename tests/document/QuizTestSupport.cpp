#include "QuizTestSupport.h"

#include "TestFiles.h"
#include "model/ProblemFields.h"
#include "model/ProblemList.h"

namespace {

std::string describeProblem(const ProblemBase& problem)
{
    std::string out = std::to_string(problem.type) + ":";
    const TextList fields = getFields(problem);
    for (std::size_t i = 0; i < fields.size(); ++i)
        out += (i ? "|" : "") + fields[i];
    return out;
}

} // namespace

std::string describeProblems(const ProblemList& problems)
{
    std::string out;
    for (const ProblemPtr& problem : problems) {
        out += describeProblem(*problem);
        for (const ProblemPtr& branch : problem->getBranches())
            out += " > " + describeProblem(*branch);
        out += "\n";
    }
    return out;
}

std::string describeProblemList()
{
    return describeProblems(problemList);
}

ProblemPtr numberedProblem(int kind, const std::string& prefix)
{
    TextList texts;
    for (std::size_t i = 0; i < fieldCount(kind); ++i)
        texts.push_back(prefix + std::to_string(i));
    return createProblem(kind, texts);
}

void writeQuizFile(const std::string& path, const std::string& body)
{
    writeBytes(path, "<?xml version='1.0' encoding='SHIFT_JIS'?>" + body);
}

TextList groupMember(int kind, std::size_t n)
{
    const std::string own = "答" + std::to_string(n);
    switch (kind) {
    case OX: return {"同じ問題", n % 2 ? "○" : "×"};
    case YONTAKU: return {"同じ問題", own, "甲", "乙", "丙"};
    case RENSOU: return {"同じ", "h2", "h3", "h4", own, "甲", "乙", "丙"};
    case NARABEKAE: return {"文字を並べ替えて、正しい言葉にしなさい。", "いぬ"};
    case PANEL: return {"作りなさい", "いぬ", "い", "ぬ"};
    default: return {"選びなさい", "いぬ", "い", "ぬ"};
    }
}
