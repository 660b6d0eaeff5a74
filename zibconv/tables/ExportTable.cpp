#include "zibconv/tables/ExportTable.h"

#include "document/QuizWalk.h"
#include "zibconv/tables/QuizTable.h"

namespace {

class TableWriter : public QuizWalkReceiver {
public:
    explicit TableWriter(RowSink& rowSink) : sink(rowSink) { sink.append({tableColumnNames()}); }

    void problem(ProblemPtr problem) override
    {
        counts.add(*problem);
        sink.append(rowsOfProblem(*problem));
    }

    RowSink& sink;
    SetCounts counts;
};

} // namespace

std::optional<ExportedTable> exportQuizFile(const std::string& path, RowSink& sink)
{
    TableWriter writer(sink);
    if (!walkQuizFile(path, writer))
        return std::nullopt;
    return ExportedTable{sink.finish(), writer.counts};
}
