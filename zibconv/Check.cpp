// check: reads a quiz file as the editor's Open does and tells everything
// of it that the editor would not keep, with the problem it belongs to.
#include "zibconv/Check.h"
#include "zibconv/Commands.h"

#include "document/QuizWalk.h"
#include "model/ProblemKinds.h"
#include "xml/ShiftJis.h"
#include "zibconv/Console.h"

#include <vector>

namespace {

// Long texts are named by their start.
constexpr std::size_t kShownTextBytes = 40;

std::string shortened(const std::string& text)
{
    std::string shown = text.substr(0, lengthOfWholeCharacters(std::string_view(text).substr(0, kShownTextBytes)));
    for (char& c : shown)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    return "「" + shown + (shown.size() < text.size() ? "…」" : "」");
}

// A node as the report names it: an element by its tag, anything else by
// what it is and what it holds.
std::string describe(const XMLNodes& node)
{
    const std::string& name = node.nameView();
    if (name == "#text")
        return "テキスト" + shortened(node.textView());
    if (name == "#cdata-section")
        return "CDATA" + shortened(node.textView());
    if (name == "#comment")
        return "コメント" + shortened(node.textView());
    if (node.childrenView().empty() && !node.textView().empty())
        return "処理命令 <?" + name + "?>";
    return "<" + name + ">";
}

std::string problemName(const QuizPlace& place)
{
    std::string name = "問題 " + std::to_string(place.problem) + " (" + place.kind->comboText + ")";
    if (place.branch)
        name += " の分岐 " + std::to_string(place.branch);
    return name;
}

// What the editor would lose, in the words of the report.
std::string lossText(const QuizLoss& loss)
{
    const std::string element = "ルート要素の " + std::to_string(loss.place.position) + " 番目の子 " + describe(*loss.node);
    const std::string where = loss.place.kind ? problemName(loss.place) + ": " : std::string();
    switch (loss.reason) {
    case LossReason::NotAKind: return element + " は問題の種類ではないため読み込まれません";
    case LossReason::NoMain:
        return element + " には main がないため、この問題" +
               (loss.subs ? "と sub " + std::to_string(loss.subs) + " 個" : std::string()) + "は読み込まれません";
    case LossReason::EarlierMain:
        return where + "後の main に置き換えられる " + std::to_string(loss.index) + " 番目の子 <main> は読み込まれません";
    case LossReason::NotMainOrSub: return where + "main でも sub でもない " + describe(*loss.node) + " は読み込まれません";
    case LossReason::NotAField:
        return where + loss.place.kind->comboText + "の欄ではない " + describe(*loss.node) + " は読み込まれません";
    case LossReason::ListFull: return where + "数を超える " + describe(*loss.node) + shortened(loss.text) + " は読み込まれません";
    case LossReason::ReplacedField:
        return where + describe(*loss.node) + shortened(loss.text) + " は後の " + describe(*loss.node) + " に置き換えられます";
    case LossReason::ExtraChild:
        return where + describe(*loss.field) + " の " + std::to_string(loss.index) + " 番目の子 " + describe(*loss.node) +
               " は読み込まれません";
    case LossReason::NestedContent:
        return where + describe(*loss.field) + " の中の " + describe(*loss.node) + " の中身は読み込まれません";
    }
    return {};
}

// The report as the walk goes: each problem counted and kept, each loss
// and note in the report's words.
class Checker : public QuizWalkReceiver {
public:
    CheckReport report;

    void problem(ProblemPtr problem) override
    {
        ++problemsOfKind[static_cast<std::size_t>(problem->type)];
        branches += problem->getBranches().size();
        report.problems.push_back(std::move(problem));
    }

    void loss(const QuizLoss& loss) override { report.losses.push_back(lossText(loss)); }

    void blankClosesUp(const QuizPlace& place) override
    {
        report.notes.push_back(problemName(place) + ": 空の欄は読み込むと後ろの欄に詰められます");
    }

    std::string summary() const
    {
        std::size_t problems = 0;
        std::string perKind;
        for (const ProblemKind& kind : problemKinds()) {
            const std::size_t count = problemsOfKind[static_cast<std::size_t>(kind.tag)];
            problems += count;
            perKind += (perKind.empty() ? "" : "、") + std::string(kind.comboText) + " " + std::to_string(count);
        }
        return "問題 " + std::to_string(problems) + " 問 (" + perKind + ")、分岐 " + std::to_string(branches) + " 問";
    }

private:
    std::vector<std::size_t> problemsOfKind = std::vector<std::size_t>(problemKinds().size());
    std::size_t branches = 0;
};

} // namespace

std::optional<CheckReport> checkQuizFile(const std::string& path)
{
    Checker checker;
    if (!walkQuizFile(path, checker))
        return std::nullopt;
    checker.report.summary = checker.summary();
    return std::move(checker.report);
}

int runCheck(const Invocation& invocation)
{
    const std::optional<CheckReport> report = checkQuizFile(invocation.input);
    if (!report)
        return reportUnreadableQuizFile(invocation.input);
    for (const std::string& loss : report->losses)
        printLine(Stream::Out, loss);
    for (const std::string& note : report->notes)
        printLine(Stream::Out, "注: " + note);
    if (report->losses.empty())
        printLine(Stream::Out, "エディターはこのファイルの内容をすべて読み込みます");
    else
        printLine(Stream::Out, "上の " + std::to_string(report->losses.size()) + " 件は、エディターで開くと失われます");
    printLine(Stream::Out, report->summary);
    return report->losses.empty() ? kExitDone : kExitRefused;
}
