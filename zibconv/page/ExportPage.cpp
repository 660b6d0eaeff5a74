#include "zibconv/page/ExportPage.h"

#include "document/QuizWalk.h"
#include "review/ContentReview.h"
#include "text/ShiftJis.h"
#include "text/ShiftJisToUtf8.h"
#include "text/Unicode.h"

namespace {

class ProblemCollector : public QuizWalkReceiver {
public:
    void problem(ProblemPtr problem) override
    {
        problems.push_back(std::move(problem));
    }

    ProblemList problems;
};


// Where the last part of a path starts. In code page 932 a trail byte may
// be the byte of "\\" (表 is 0x95 0x5C), so a pair is stepped over whole.
std::size_t nameStart(std::string_view path, bool shiftJis)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (shiftJis && isShiftJisLeadByte(static_cast<unsigned char>(c)))
            ++i;
        else if (c == '/' || c == '\\')
            start = i + 1;
    }
    return start;
}

} // namespace

std::string pageFileName(const std::string& path)
{
    if (isValidUtf8(path))
        return path.substr(nameStart(path, false));
    const std::string name = path.substr(nameStart(path, true));
    std::string utf8;
    return appendShiftJisAsUtf8(name, utf8) ? utf8 : std::string("?");
}

std::optional<ExportedPage> exportQuizPage(const std::string& path)
{
    ProblemCollector collector;
    if (!walkQuizFile(path, collector))
        return std::nullopt;
    std::vector<ContentFinding> findings = reviewContent(collector.problems);
    const SetCounts counts = countsOf(collector.problems);
    return ExportedPage{pageFileName(path), std::move(collector.problems), std::move(findings), counts};
}
