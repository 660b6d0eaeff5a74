#include "document/ProblemListFile.h"
#include "document/QuizWalk.h"
#include "model/ProblemList.h"
#include "xml/XMLFile.h"

#include <utility>

namespace {

class ProblemCollector : public QuizWalkReceiver {
public:
    ProblemList problems;

    void problem(ProblemPtr problem) override { problems.push_back(std::move(problem)); }
};

} // namespace

bool loadProblemList(std::string path)
{
    XMLNodesPtr root = loadXMLFile(std::move(path));
    if (!root)
        return false;
    ProblemCollector collector;
    QuizWalk(collector).walkDocument(*root);
    problemList = std::move(collector.problems);
    return true;
}
