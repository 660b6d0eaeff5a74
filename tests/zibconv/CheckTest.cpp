// check names everything the editor's Open would drop, and reads a file
// exactly as Open does: the same problems, from the same walk.
#include "QuizTestSupport.h"
#include "TestFiles.h"

#include "document/ProblemListFile.h"
#include "model/ProblemKinds.h"
#include "model/ProblemList.h"
#include "review/FindingText.h"
#include "zibconv/check/CheckReport.h"

#include <gtest/gtest.h>

namespace {

struct CheckCase {
    const char* body; // inside the document element
    const char* report; // losses, then notes after "注: ", one a line
};

// Every kind of loss and note, in branches as in top-level problems.
const CheckCase kCases[] = {
    {"<ox><main><question>q</question><answer>a</answer></main></ox>", ""},
    // The same problem again: told once the set is read, its problems gone.
    {"<ox><main><question>q</question><answer>a</answer></main><sub><question>q</question><answer>b</answer></sub></ox>"
     "<ox><main><question>Q</question><answer>a</answer></main></ox>",
     ""},
    {"<quiz/>text<!--c--><ox><main/></ox>",
     "ルート要素の 1 番目の子 <quiz> は問題の種類ではないため読み込まれません\n"
     "ルート要素の 2 番目の子 テキスト「text」 は問題の種類ではないため読み込まれません\n"
     "ルート要素の 3 番目の子 コメント「c」 は問題の種類ではないため読み込まれません\n"},
    {"<OX><main/></OX><ox><sub/><sub/></ox><ox/><ox><main/></ox>",
     "ルート要素の 1 番目の子 <OX> は問題の種類ではないため読み込まれません\n"
     "ルート要素の 2 番目の子 <ox> には main がないため、この問題と sub 2 個は読み込まれません\n"
     "ルート要素の 3 番目の子 <ox> には main がないため、この問題は読み込まれません\n"},
    // The last main counts; problems are numbered as Open keeps them. The
    // answers' spaces are content findings that tell which main was read.
    {"<ox/><ox><main><answer> first</answer></main><sub/><main><answer>last </answer></main></ox>",
     "ルート要素の 1 番目の子 <ox> には main がないため、この問題は読み込まれません\n"
     "問題 1 (ox): 後の main に置き換えられる 1 番目の子 <main> は読み込まれません\n"},
    {"<ox><main/><extra/><?pi data?></ox>",
     "問題 1 (ox): main でも sub でもない <extra> は読み込まれません\n"
     "問題 1 (ox): main でも sub でもない 処理命令 <?pi?> は読み込まれません\n"},
    {"<ox><main/><sub/><sub><dummy>d</dummy><answer>1</answer><answer>2</answer></sub></ox>",
     "問題 1 (ox) の分岐 2: oxの欄ではない <dummy> は読み込まれません\n"
     "問題 1 (ox) の分岐 2: <answer>「1」 は後の <answer> に置き換えられます\n"},
    {"<yontaku><main><dummy>1</dummy><dummy>2</dummy><dummy>3</dummy><dummy> </dummy><dummy>4</dummy></main>"
     "</yontaku>",
     "問題 1 (四択): 数を超える <dummy>「4」 は読み込まれません\n"},
    {"<ox><main><question>a<b/>c</question><answer><b>x</b></answer></main></ox>",
     "問題 1 (ox): <question> の 2 番目の子 <b> は読み込まれません\n"
     "問題 1 (ox): <question> の 3 番目の子 テキスト「c」 は読み込まれません\n"
     "問題 1 (ox): <answer> の中の <b> の中身は読み込まれません\n"},
    {"<yontaku><main><dummy> </dummy><dummy>x</dummy></main><sub><dummy>x</dummy><dummy/></sub></yontaku>",
     "注: 問題 1 (四択): 空の欄は読み込むと後ろの欄に詰められます\n"},
};

std::string findingLines(const std::vector<ContentFinding>& findings)
{
    std::string lines;
    for (const ContentFinding& finding : findings)
        lines += problemName(finding.place, finding.kind) + ": " + findingSentence(finding) + "\n";
    return lines;
}

class Check : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string path = folder.path("set.xml");

    void TearDown() override { problemList.clear(); }
};

TEST_F(Check, NamesEveryLossAndReadsTheProblemsOpenReads)
{
    for (const CheckCase& c : kCases) {
        SCOPED_TRACE(c.body);
        writeQuizFile(path, std::string("<root>") + c.body + "</root>");
        const std::optional<CheckedSet> report = checkQuizFile(path);
        ASSERT_TRUE(report);
        std::string lines;
        for (const CheckLoss& loss : report->losses)
            lines += loss.text + "\n";
        for (const std::string& note : report->notes)
            lines += "注: " + note + "\n";
        EXPECT_EQ(lines, c.report);
        // What check tells of the problems is what Open's problems give.
        ASSERT_TRUE(loadProblemList(path));
        EXPECT_EQ(summaryText(report->counts), summaryText(countsOf(problemList)));
        EXPECT_EQ(findingLines(report->findings), findingLines(reviewContent(problemList)));
    }
}

TEST_F(Check, LossesNameTheirProblemAndTheSummaryCountsWhatOpenKeeps)
{
    writeQuizFile(path, "<root><ox><main/><sub/></ox><slot><main/><sub/><sub><x/></sub></slot><ox/><ox><main/></ox></root>");
    const std::optional<CheckedSet> report = checkQuizFile(path);
    ASSERT_TRUE(report);
    ASSERT_EQ(report->losses.size(), 2u);
    EXPECT_EQ(report->losses[0].problem, 2u);
    EXPECT_EQ(report->losses[0].branch, 2u);
    EXPECT_EQ(report->losses[0].kind, findKind(SLOT));
    EXPECT_EQ(report->losses[1].problem, 0u); // <ox/> gives no problem
    EXPECT_EQ(report->losses[1].kind, nullptr);
    const std::vector<std::string> lines = textReport(*report, {});
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "問題 3 問 (ox 2、四択 0、連想 0、並べ替え 0、文字パネル 0、スロット 1)、分岐 3 問");
}

TEST_F(Check, AFileThatIsNoXmlIsNotReported)
{
    writeQuizFile(path, "<root><ox></root>");
    EXPECT_FALSE(checkQuizFile(path));
    EXPECT_FALSE(checkQuizFile(folder.path("missing.xml")));
}

} // namespace
