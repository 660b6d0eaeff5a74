// check of a table: read as import reads it, so that a set can be reviewed
// before it becomes a quiz file.
#include "zibconv/check/CheckedSet.h"

CheckedSet checkTable(const TableRead& read)
{
    CheckedSet set;
    set.isTable = true;
    set.counts = countsOf(read.imported.problems);
    for (const TableFinding& finding : read.findings)
        set.losses.push_back({0, 0, nullptr, placeOf(finding) + finding.message});
    if (set.losses.empty())
        set.findings = reviewContent(read.imported.problems);
    for (const TableFinding& notice : read.imported.notices)
        set.notes.push_back(placeOf(notice) + notice.message);
    return set;
}
