// check of a table: read as import reads it, so that a set can be reviewed
// before it becomes a quiz file. What import would refuse is the table's
// loss; the content of a refused table is not reviewed.
#include "zibconv/check/CheckReport.h"
#include "zibconv/Commands.h"
#include "zibconv/Console.h"

int runTableCheck(const Invocation& invocation)
{
    std::optional<TableRead> read = readTableFile(invocation);
    if (!read)
        return kExitUnreadable;
    CheckedSet set;
    set.isTable = true;
    set.counts = countsOf(read->imported.problems);
    for (const TableFinding& finding : read->findings)
        set.losses.push_back({0, 0, nullptr, placeOf(finding) + finding.message});
    if (set.losses.empty())
        set.findings = reviewContent(read->imported.problems);
    for (const TableFinding& notice : read->imported.notices)
        set.notes.push_back(placeOf(notice) + notice.message);
    return reportCheck(invocation, set);
}
