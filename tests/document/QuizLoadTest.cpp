// Loading is lenient about what a file holds and strict about what it is.
#include "QuizTestSupport.h"
#include "TestFiles.h"

#include "document/ProblemListFile.h"
#include "model/ProblemList.h"

#include <gtest/gtest.h>

namespace {

class QuizLoad : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string path = folder.path("set.xml");

    void SetUp() override { problemList.clear(); }
    void TearDown() override { problemList.clear(); }

    // The list loaded from a file holding the declaration and `body`.
    std::string load(const std::string& body)
    {
        writeQuizFile(path, body);
        if (!loadProblemList(path))
            return "(failed)";
        return describeProblemList();
    }
};

TEST_F(QuizLoad, AnyRootNameAndMainOnly)
{
    EXPECT_EQ(load("<set><ox><main><question>q</question><answer>a</answer></main></ox></set>"), "0:q|a\n");
    EXPECT_EQ(load("<root/>"), "");
}

TEST_F(QuizLoad, SubBeforeMainAndTheLastMainCounts)
{
    EXPECT_EQ(load("<root><ox><sub><question>s</question></sub><main><question>m</question></main>"
                   "<sub><question>t</question></sub></ox></root>"),
              "0:m|  > 0:s|  > 0:t| \n");
    EXPECT_EQ(load("<root><ox><main><question>first</question></main>"
                   "<main><question>second</question></main></ox></root>"),
              "0:second| \n");
}

TEST_F(QuizLoad, MissingAndEmptyFieldsAreBlank)
{
    EXPECT_EQ(load("<root><yontaku><main><question>q</question></main></yontaku></root>"), "1:q| | | | \n");
    EXPECT_EQ(load("<root><ox><main><question/><answer></answer></main></ox></root>"), "0: | \n");
    EXPECT_EQ(load("<root><panel><main/></panel></root>"), "4: | | | | | | | | | | | \n");
}

TEST_F(QuizLoad, ListElementsFillTheFirstBlankPosition)
{
    EXPECT_EQ(load("<root><yontaku><main><dummy>1</dummy><dummy>2</dummy><dummy>3</dummy>"
                   "<dummy>4</dummy><answer>a</answer><answer>b</answer></main></yontaku></root>"),
              "1: |b|1|2|3\n");
    // Blank entries move to the end.
    EXPECT_EQ(load("<root><yontaku><main><dummy> </dummy><dummy>い</dummy><dummy>ろ</dummy></main></yontaku></root>"),
              "1: | |い|ろ| \n");
}

TEST_F(QuizLoad, NamesAKindDoesNotUseAreIgnored)
{
    EXPECT_EQ(load("<root><yontaku><main><hint>h</hint><reel>r</reel><question>q</question>"
                   "<Question>Q</Question></main><other/></yontaku></root>"),
              "1:q| | | | \n");
}

TEST_F(QuizLoad, UnknownKindsAndKindsWithoutMainAreSkipped)
{
    EXPECT_EQ(load("<root><quiz><main><question>x</question></main></quiz>"
                   "<OX><main><question>x</question></main></OX>"
                   "<slot><sub><question>orphan</question></sub></slot>"
                   "<narabekae><main><question>kept</question></main></narabekae>text<!--c--></root>"),
              "3:kept| \n");
}

TEST_F(QuizLoad, LineFeedsBecomeCarriageReturnLineFeed)
{
    EXPECT_EQ(load("<root><ox><main><question>a\nb</question><answer>c\r\nd</answer></main></ox></root>"),
              "0:a\r\nb|c\r\nd\n");
    // A line feed alone reaches the loader only from a CDATA section.
    EXPECT_EQ(load("<root><ox><main><question><![CDATA[\n]]></question></main></ox></root>"), "0:\r\n| \n");
}

TEST_F(QuizLoad, CommentsCdataEntitiesAndOtherEncodings)
{
    EXPECT_EQ(load("<root><!--c--><ox><main><question><![CDATA[1<2]]></question>"
                   "<answer>x &amp; &#x3C;y&gt;</answer></main></ox></root>"),
              "0:1<2|x & <y>\n");
    // The first child's text, whatever it is.
    EXPECT_EQ(load("<root><ox><main><question><!--c-->q</question></main></ox></root>"), "0:c| \n");
    writeBytes(path, "<?xml version='1.0' encoding='UTF-8'?><root><ox><main>"
                     "<question>\xE6\x97\xA5\xE6\x9C\xAC</question></main></ox></root>");
    EXPECT_TRUE(loadProblemList(path));
    EXPECT_EQ(describeProblemList(), "0:日本| \n");
}

// A file that is no XML document leaves the list as it was.
TEST_F(QuizLoad, AFailedLoadKeepsTheList)
{
    for (int i = 0; i < 3; ++i)
        problemList.push_back(numberedProblem(i, "k"));
    const std::string before = describeProblemList();
    EXPECT_FALSE(loadProblemList(folder.path("missing.xml")));
    EXPECT_EQ(load("<root><ox><main></ox></root>"), "(failed)");
    EXPECT_EQ(load("<!DOCTYPE root><root/>"), "(failed)");
    writeBytes(path, "");
    EXPECT_FALSE(loadProblemList(path));
    EXPECT_EQ(describeProblemList(), before);
}

} // namespace
