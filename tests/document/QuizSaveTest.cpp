// Saving the problem list and reading it back, through real files.
#include "QuizTestSupport.h"
#include "TestFiles.h"

#include "document/ProblemListFile.h"
#include "model/ProblemFields.h"
#include "model/ProblemList.h"

#include <gtest/gtest.h>

namespace {

class QuizSave : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string path = folder.path("set.xml");

    void SetUp() override { problemList.clear(); }
    void TearDown() override { problemList.clear(); }

    // Saves, forgets the list and loads it back; the list as it was read.
    std::string roundTrip()
    {
        EXPECT_TRUE(saveProblemList(path));
        problemList.clear();
        EXPECT_TRUE(loadProblemList(path));
        return describeProblemList();
    }
};

TEST_F(QuizSave, EveryKindWithBranchesRoundTrips)
{
    for (int kind = 0; kind < kProblemTypeCount; ++kind) {
        const std::string tag = std::to_string(kind);
        ProblemPtr problem = numberedProblem(kind, tag + "m");
        problem->addBranch(numberedProblem(kind, tag + "a"));
        problem->addBranch(numberedProblem(kind, tag + "b"));
        problemList.push_back(problem);
    }
    problemList.push_back(numberedProblem(OX, "alone-"));
    const std::string before = describeProblemList();
    EXPECT_EQ(roundTrip(), before);
}

TEST_F(QuizSave, BlankTextLineBreaksAndReservedCharactersRoundTrip)
{
    problemList.push_back(createProblem(YONTAKU, {"日本で一番長い川は？\r\n二行目", "a & b < c > d", " ", "表", " "}));
    // A text of nothing but line breaks is indentation to the parser.
    problemList.push_back(createProblem(OX, {"\r\n", " "}));
    EXPECT_EQ(roundTrip(), "1:日本で一番長い川は？\r\n二行目|a & b < c > d|表| | \n"
                           "0: | \n");
}

TEST_F(QuizSave, TheBytesOfASmallSet)
{
    ProblemPtr problem = createProblem(YONTAKU, {"Q", "A", "d1", "d2", " "});
    problem->addBranch(createProblem(YONTAKU, {"q\r\n2", "a", "x", "y", "z"}));
    problemList.push_back(problem);
    problemList.push_back(createProblem(OX, {"o", " "}));
    ASSERT_TRUE(saveProblemList(path));
    EXPECT_EQ(readBytes(path),
              "<?xml version='1.0' encoding='SHIFT_JIS'?>\r\n<root>"
              "<yontaku><main><question>Q</question><answer>A</answer>"
              "<dummy>d1</dummy><dummy>d2</dummy><dummy> </dummy></main>"
              "<sub><question>q\r\n2</question><answer>a</answer>"
              "<dummy>x</dummy><dummy>y</dummy><dummy>z</dummy></sub></yontaku>"
              "<ox><main><question>o</question><answer> </answer></main></ox>"
              "</root>\r\n");
}

TEST_F(QuizSave, AnEmptyListIsARootWithoutChildren)
{
    ASSERT_TRUE(saveProblemList(path));
    EXPECT_EQ(readBytes(path), "<?xml version='1.0' encoding='SHIFT_JIS'?>\r\n<root/>\r\n");
    problemList.push_back(numberedProblem(OX, "x"));
    EXPECT_TRUE(loadProblemList(path));
    EXPECT_TRUE(problemList.empty());
}

TEST_F(QuizSave, ListEntriesBeyondTheCountAreNotWritten)
{
    problemList.push_back(std::make_shared<ProblemYontaku>(YONTAKU, "q", "a", TextList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(roundTrip(), "1:q|a|1|2|3\n");
}

TEST_F(QuizSave, SavingTwiceWritesTheSameBytesAndKeepsTheList)
{
    problemList.push_back(numberedProblem(RENSOU, "r"));
    const std::string before = describeProblemList();
    ASSERT_TRUE(saveProblemList(path));
    const std::optional<std::string> first = readBytes(path);
    ASSERT_TRUE(saveProblemList(path));
    EXPECT_EQ(readBytes(path), first);
    EXPECT_EQ(describeProblemList(), before);
}

// What the file cannot hold makes the save fail and leaves the old file.
TEST_F(QuizSave, UnsavableListsLeaveTheFileAlone)
{
    writeBytes(path, "old bytes");
    problemList.push_back(createProblem(OX, {"", "a"}));
    EXPECT_FALSE(saveProblemList(path));
    EXPECT_EQ(readBytes(path), "old bytes");

    problemList.clear();
    problemList.push_back(std::make_shared<ProblemOX>(9, "q", "a"));
    EXPECT_FALSE(saveProblemList(path));
    EXPECT_EQ(readBytes(path), "old bytes");

    problemList.clear();
    ProblemPtr parent = numberedProblem(OX, "p");
    parent->addBranch(std::make_shared<ProblemOX>(-1, "q", "a"));
    problemList.push_back(parent);
    EXPECT_FALSE(saveProblemList(path));
    EXPECT_EQ(readBytes(path), "old bytes");
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{"set.xml"});
}

TEST_F(QuizSave, AFailedSaveKeepsAReadOnlyFile)
{
    problemList.push_back(numberedProblem(OX, "x"));
    writeBytes(path, "old bytes");
    makeReadOnly(path);
    EXPECT_FALSE(saveProblemList(path));
    EXPECT_EQ(readBytes(path), "old bytes");
    EXPECT_FALSE(saveProblemList(folder.path("missing") + "/set.xml"));
}

// Import writes a set one problem at a time: the bytes are the editor's.
TEST_F(QuizSave, ProblemByProblemWritesTheEditorsBytes)
{
    ProblemPtr everyKind = numberedProblem(YONTAKU, "<&>\x01 ");
    for (int kind = 0; kind < kProblemTypeCount; ++kind)
        everyKind->addBranch(numberedProblem(kind, std::to_string(kind)));
    const std::vector<ProblemList> lists = {
        {},
        {numberedProblem(OX, "x")},
        {everyKind, numberedProblem(SLOT, "s"), numberedProblem(PANEL, "")},
        {numberedProblem(OX, "x"), std::make_shared<ProblemOX>(9, "q", "a")},
    };
    const std::string byProblem = folder.path("by-problem.xml");
    for (std::size_t i = 0; i < lists.size(); ++i) {
        SCOPED_TRACE(i);
        problemList = lists[i];
        const bool saved = saveProblemList(path);
        EXPECT_EQ(saveProblemListByProblem(byProblem), saved);
        EXPECT_EQ(readBytes(byProblem), readBytes(path));
        std::filesystem::remove(path);
        std::filesystem::remove(byProblem);
    }
}

// Save writes as every output is written: through a link, never in place
// of a folder.
TEST_F(QuizSave, SaveFollowsTheRulesOfEveryWrite)
{
    problemList.push_back(numberedProblem(OX, "x"));
    std::filesystem::create_directory(folder.path("folder.xml"));
    EXPECT_FALSE(saveProblemList(folder.path("folder.xml")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path("folder.xml")));
#ifndef _WIN32
    std::filesystem::create_symlink("set.xml", folder.path("link.xml"));
    ASSERT_TRUE(saveProblemList(folder.path("link.xml")));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.path("link.xml")));
    EXPECT_TRUE(loadProblemList(path));
#endif
}

// A branch of another kind keeps its texts by meaning in its parent's
// layout; the file then gives it its parent's kind.
TEST_F(QuizSave, BranchesOfAnotherKindAreWrittenByMeaning)
{
    ProblemPtr yontaku = createProblem(YONTAKU, {"Q", "A", "d0", "d1", "d2"});
    yontaku->addBranch(createProblem(RENSOU, {"h0", "h1", "h2", "h3", "ra", "rd0", "rd1", "rd2"}));
    yontaku->addBranch(createProblem(PANEL, {"pq", "pa", "p0", "p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8", "p9"}));
    ProblemPtr rensou = numberedProblem(RENSOU, "r");
    rensou->addBranch(createProblem(YONTAKU, {"yq", "ya", "y0", "y1", "y2"}));
    ProblemPtr slot = numberedProblem(SLOT, "s");
    slot->addBranch(createProblem(OX, {"oq", "oa"}));
    problemList = {yontaku, rensou, slot};
    EXPECT_EQ(roundTrip(), "1:Q|A|d0|d1|d2 > 1:h0|ra|rd0|rd1|rd2 > 1:pq|pa| | | \n"
                           "2:r0|r1|r2|r3|r4|r5|r6|r7 > 2:yq| | | |ya|y0|y1|y2\n"
                           "5:s0|s1|s2|s3|s4|s5|s6|s7 > 5:oq|oa| | | | | | \n");
}

} // namespace
