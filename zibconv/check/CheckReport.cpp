#include "zibconv/check/CheckReport.h"

#include "review/FindingText.h"

namespace {

std::string lossesLine(const CheckedSet& set)
{
    if (set.losses.empty())
        return set.isTable ? "import はこの表をすべて読み込みます" : "エディターはこのファイルの内容をすべて読み込みます";
    const std::string count = "上の " + std::to_string(set.losses.size()) + " 件";
    return set.isTable ? count + "のため、import は何も書き出しません" : count + "は、エディターで開くと失われます";
}

std::string findingsLine(const CheckedSet& set, std::size_t findings)
{
    if (set.isTable && !set.losses.empty())
        return "表の誤りを直すまで、内容は確かめません";
    if (findings == 0)
        return "内容に誤りらしいところは見つかりませんでした";
    return findingCountText(findings);
}

} // namespace

std::string findingCountText(std::size_t findings)
{
    return "内容に誤りらしいところが " + std::to_string(findings) + " 件あります";
}

std::vector<std::string> textReport(const CheckedSet& set, const std::vector<ContentFinding>& findings)
{
    std::vector<std::string> lines;
    lines.reserve(set.losses.size() + set.notes.size() + findings.size() + 3);
    for (const CheckLoss& loss : set.losses)
        lines.push_back(loss.text);
    for (const std::string& note : set.notes)
        lines.push_back("注: " + note);
    lines.push_back(lossesLine(set));
    for (const ContentFinding& finding : findings)
        lines.push_back(problemName(finding.place, finding.kind) + ": " + findingSentence(finding));
    lines.push_back(findingsLine(set, findings.size()));
    lines.push_back(summaryText(set.counts));
    return lines;
}
