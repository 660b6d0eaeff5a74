#include "zibconv/ExportTable.h"

#include "document/QuizWalk.h"
#include "zibconv/QuizTable.h"
#include "zibconv/TableFile.h"

namespace {

class TableWriter : public QuizWalkReceiver {
public:
    TableWriter(char separator, TableEncoding encoding) : encoder(separator, encoding)
    {
        encoder.append({tableColumnNames()});
    }

    void problem(ProblemPtr problem) override
    {
        ++problems;
        branches += problem->getBranches().size();
        encoder.append(rowsOfProblem(*problem));
    }

    TableEncoder encoder;
    std::size_t problems = 0;
    std::size_t branches = 0;
};

} // namespace

std::optional<ExportedTable> exportQuizFile(const std::string& path, char separator, TableEncoding encoding)
{
    TableWriter writer(separator, encoding);
    if (!walkQuizFile(path, writer))
        return std::nullopt;
    return ExportedTable{writer.encoder.finish(), writer.problems, writer.branches};
}
