// check: the report printed as the invocation asks, and its exit status.
#include "zibconv/Commands.h"

#include "zibconv/Console.h"
#include "zibconv/check/CheckReport.h"
#include "zibconv/check/JsonReport.h"

namespace {

// 1 when something would be lost, or with --strict when the review found
// anything; 0 otherwise.
int reportCheck(const Invocation& invocation, const CheckedSet& set)
{
    const std::vector<ContentFinding>& findings = set.findings;
    if (invocation.json)
        writeUtf8(Stream::Out, jsonReport(set, findings));
    else
        for (const std::string& line : textReport(set, findings))
            printLine(Stream::Out, line);
    if (!set.losses.empty() || (invocation.strict && !findings.empty()))
        return kExitRefused;
    return kExitDone;
}

} // namespace

int runCheck(const Invocation& invocation)
{
    if (isTableForm(invocation.inputForm)) {
        const std::optional<TableRead> read = readTableFile(invocation);
        return read ? reportCheck(invocation, checkTable(*read)) : kExitUnreadable;
    }
    const std::optional<CheckedSet> set = checkQuizFile(invocation.input);
    if (!set)
        return reportUnreadableQuizFile(invocation.input);
    return reportCheck(invocation, *set);
}
