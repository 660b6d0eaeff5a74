#include "zibconv/tables/ExportTable.h"

#include "document/QuizWalk.h"
#include "zibconv/tables/QuizTable.h"

namespace {

class TableWriter : public QuizWalkReceiver {
public:
    explicit TableWriter(RowSink& rowSink) : sink(rowSink) { sink.append({tableColumnNames()}); }

    void problem(ProblemPtr problem) override
    {
        ++problems;
        branches += problem->getBranches().size();
        sink.append(rowsOfProblem(*problem));
    }

    RowSink& sink;
    std::size_t problems = 0;
    std::size_t branches = 0;
};

} // namespace

std::optional<ExportedTable> exportQuizFile(const std::string& path, RowSink& sink)
{
    TableWriter writer(sink);
    if (!walkQuizFile(path, writer))
        return std::nullopt;
    return ExportedTable{sink.finish(), writer.problems, writer.branches};
}
