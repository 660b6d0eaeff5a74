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
