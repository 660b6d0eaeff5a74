// Problems as table rows and back: the columns, blank text, branches, and
// every refusal of import with its row and column.
#include "WholeTables.h"
#include "zibconv/tables/QuizTable.h"

#include "QuizTestSupport.h"

#include "model/ProblemFields.h"
#include "model/ProblemKinds.h"

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<TableRow>;

const TableRow kHeader = {"kind", "level", "question", "answer", "dummy1", "dummy2", "dummy3", "hint1", "hint2",
                          "hint3", "hint4", "panel1", "panel2", "panel3", "panel4", "panel5", "panel6", "panel7",
                          "panel8", "panel9", "panel10", "reel1", "reel2", "reel3", "reel4", "reel5", "reel6"};

std::string listed(const std::vector<TableFinding>& findings)
{
    std::string out;
    for (const TableFinding& finding : findings)
        out += std::to_string(finding.row) + "/" + finding.column + ":" + finding.message + "\n";
    return out;
}

std::string findingsOf(const ImportedProblems& imported)
{
    return listed(imported.findings);
}

// Imports rows that must be accepted and describes the problems.
std::string imported(const Rows& rows)
{
    const ImportedProblems result = problemsFromRows(rows);
    EXPECT_EQ(findingsOf(result), "");
    return describeProblems(result.problems);
}

TEST(QuizTable, ExportWritesTheColumnsThenEachProblemFollowedByItsBranches)
{
    ProblemPtr yontaku = createProblem(YONTAKU, {"問", " ", "d1", " ", "d3"});
    yontaku->addBranch(createProblem(YONTAKU, {"枝", "答", "x", "y", "z"}));
    const Rows rows = problemRows({yontaku, createProblem(RENSOU, {"h1", "h2", "h3", "h4", "a", "d1", "d2", "d3"})});
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], kHeader);
    EXPECT_EQ(rows[1], (TableRow{"yontaku", "main", "問", "", "d1", "", "d3", "", "", "", "", "", "", "", "", "", "",
                                 "", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(TableRow(rows[2].begin(), rows[2].begin() + 7), (TableRow{"yontaku", "sub", "枝", "答", "x", "y", "z"}));
    EXPECT_EQ(TableRow(rows[3].begin(), rows[3].begin() + 11),
              (TableRow{"rensou", "main", "", "a", "d1", "d2", "d3", "h1", "h2", "h3", "h4"}));
}

// The one list of columns the table and the workbook read: each field
// column names one text of the kind table's fields, as many as the kind
// with the most of them has.
TEST(QuizTable, EachColumnIsKindLevelOrOneTextOfAField)
{
    ASSERT_EQ(quizColumns().size(), kHeader.size());
    EXPECT_EQ(tableColumnNames(), kHeader);
    EXPECT_EQ(quizColumnNamed("kind")->text, std::nullopt);
    EXPECT_EQ(quizColumnNamed("level")->text, std::nullopt);
    EXPECT_EQ(quizColumnNamed("question")->text, (TextPlace{Field::Question, 0}));
    EXPECT_EQ(quizColumnNamed("dummy3")->text, (TextPlace{Field::Dummy, 2}));
    EXPECT_EQ(quizColumnNamed("panel10")->text, (TextPlace{Field::Panel, 9}));
    EXPECT_EQ(quizColumnNamed("reel1")->text, (TextPlace{Field::Reel, 0}));
    EXPECT_EQ(quizColumnNamed("dummy4"), nullptr);
    EXPECT_EQ(quizColumnNamed("Kind"), nullptr);
    for (const QuizColumn& column : quizColumns()) {
        if (!column.text)
            continue;
        SCOPED_TRACE(column.name);
        bool held = false;
        for (const ProblemKind& kind : problemKinds())
            held = held || kind.positionOf(*column.text);
        EXPECT_TRUE(held);
    }
}

TEST(QuizTable, ImportTakesAnySubsetOfColumnsInAnyOrder)
{
    EXPECT_EQ(imported({{"reel2", "kind", "question"}, {"r", "slot", "q"}}), "5:q| | |r| | | | \n");
    EXPECT_EQ(imported({{"kind"}, {"ox"}}), "0: | \n");
}

TEST(QuizTable, KindsByFileNameOrEditorNameAndBranchesTakeTheirParentsKind)
{
    EXPECT_EQ(imported({{"kind", "level", "question"},
                        {"四択", "", "親"},
                        {"", "sub", "枝1"},
                        {"yontaku", "sub", "枝2"},
                        {"並べ替え", "main", "並"}}),
              "1:親| | | |  > 1:枝1| | | |  > 1:枝2| | | | \n3:並| \n");
}

TEST(QuizTable, EmptyCellsAndSingleSpacesAreBlankAndListsKeepTheirPositions)
{
    EXPECT_EQ(imported({{"kind", "question", "answer", "dummy1", "dummy2"}, {"yontaku", " ", "", "", "二"}}),
              "1: | | |二| \n");
}

TEST(QuizTable, RowsOfEmptyCellsAreSkipped)
{
    EXPECT_EQ(imported({{"kind", "question"}, {"", ""}, {"ox", "q"}, {""}, {"", "", "", ""}}), "0:q| \n");
}

TEST(QuizTable, TrailingEmptyCellsBeyondTheColumnNamesCarryNothing)
{
    EXPECT_EQ(imported({{"kind", "question", ""}, {"ox", "q", "", "", ""}}), "0:q| \n");
}

TEST(QuizTable, EveryRefusalNamesItsRowAndColumn)
{
    const ImportedProblems result = problemsFromRows({
        {"kind", "level", "question", "dummy1", "hint1", ""},
        {"ox", "main", "q", "誤", "", ""},       // 2: ox has no wrong choices
        {"yontaku", "top", "q", "", "", ""},     // 3: unknown level
        {"quiz", "", "q", "", "", ""},           // 4: unknown kind
        {"", "", "q", "", "", ""},               // 5: no kind
        {"yontaku", "", "q", "", "", ""},        // 6
        {"rensou", "sub", "", "", "h", ""},      // 7: a branch of another kind
        {"yontaku", "", "q", "", "", "x"},       // 8: a cell without a column name
        {"yontaku", "", "q", "", "", "", "more"}, // 9: more cells than names
    });
    EXPECT_EQ(findingsOf(result), "2/dummy1:ox にはこの列の欄がありません\n"
                                  "3/level:level は main か sub か空にしてください\n"
                                  "4/kind:知らない kind です: quiz\n"
                                  "5/kind:kind が空です\n"
                                  "7/kind:分岐の kind が親の kind (yontaku) と違います\n"
                                  "8/:列名のない列にセルがあります\n"
                                  "9/:列名の数より多くのセルがあります\n");
}

TEST(QuizTable, ABranchBeforeAnyTopLevelRowIsRefused)
{
    EXPECT_EQ(findingsOf(problemsFromRows({{"kind", "level"}, {"ox", "sub"}, {"ox", "main"}})),
              "2/level:最初の main の行より前に sub の行があります\n");
}

TEST(QuizTable, ColumnNamesMustBeKnownOnceAndIncludeKind)
{
    EXPECT_EQ(findingsOf(problemsFromRows({{"question", "Question", "question", "dummy4"}})),
              "1/Question:知らない列名です\n1/question:列名が二度あります\n1/dummy4:知らない列名です\n"
              "1/kind:kind の列がありません\n");
    EXPECT_EQ(findingsOf(problemsFromRows({})), "0/:列名の行がありません\n");
}

// What Open drops or moves is told before anything is written: a cell of
// only spaces, tabs and line breaks is an empty cell, and a list's blank
// entry before a filled one is closed up by Open, once per list and row.
TEST(QuizTable, CellsOpenReadsOtherwiseAreNotices)
{
    const ImportedProblems result = problemsFromRows({
        {"kind", "level", "question", "dummy1", "dummy2", "dummy3", "panel1", "panel2", "panel3"},
        {"yontaku", "", "\t", "x", "", "z", "", "", ""},
        {"yontaku", "sub", "q", "  ", "\r\n", "y", "", "", ""},
        {"panel", "", "q", "", "", "", "", "p", "p"},
        {"yontaku", "", "q", " ", "b", "c", "", "", ""},
        {"yontaku", "", "q", "a", "b", "", "", "", ""},
    });
    EXPECT_EQ(findingsOf(result), "");
    EXPECT_EQ(listed(result.notices),
              "2/question:空白、タブか改行だけのセルです。エディターは読み込まないため、空のセルとして読みます\n"
              "2/dummy2:空の欄の後ろに埋まった欄があります。エディターで開くと、後ろの欄が前に詰められます\n"
              "3/dummy1:空白、タブか改行だけのセルです。エディターは読み込まないため、空のセルとして読みます\n"
              "3/dummy2:空白、タブか改行だけのセルです。エディターは読み込まないため、空のセルとして読みます\n"
              "3/dummy1:空の欄の後ろに埋まった欄があります。エディターで開くと、後ろの欄が前に詰められます\n"
              "4/panel1:空の欄の後ろに埋まった欄があります。エディターで開くと、後ろの欄が前に詰められます\n"
              "5/dummy1:空白、タブか改行だけのセルです。エディターは読み込まないため、空のセルとして読みます\n"
              "5/dummy1:空の欄の後ろに埋まった欄があります。エディターで開くと、後ろの欄が前に詰められます\n");
    // The texts stay where the table has them; the quiz file holds them so.
    EXPECT_EQ(describeProblems(result.problems),
              "1: | |x| |z > 1:q| | | |y\n4:q| | |p|p| | | | | | | \n1:q| | |b|c\n1:q| |a|b| \n");
}

// The reader refuses a text of more than kMaxTextBytes in UTF-8, counting
// a line break as one character: import refuses it first, with its cell.
TEST(QuizTable, ATextOpenCannotReadIsRefusedWithItsCell)
{
    std::string atLimit;
    for (int i = 0; i < 3333333; ++i)
        atLimit += "あ"; // 3 bytes each in UTF-8: 9,999,999
    const std::string overLimit = atLimit + "x" + "x";
    const std::string withBreaks = atLimit + "\r\n"; // 10,000,000 as the reader counts it
    const ImportedProblems result = problemsFromRows({
        {"kind", "question", "answer"},
        {"ox", atLimit + "x", withBreaks},
        {"ox", "q", overLimit},
        {"ox", std::string(10000001, 'a'), ""},
    });
    EXPECT_EQ(findingsOf(result),
              "3/answer:テキストが長すぎます: UTF-8 で 10000001 バイトあり、エディターが読めるのは 10000000 バイトまでです\n"
              "4/question:テキストが長すぎます: UTF-8 で 10000001 バイトあり、エディターが読めるのは 10000000 バイトまでです\n");
}

// A column whose name could not be decoded is refused by the decoding
// alone: its cells and a missing kind column are not told again.
TEST(QuizTable, ColumnsOfUnreadableNamesAreLeftOut)
{
    EXPECT_EQ(findingsOf(problemsFromRows({{"kind", "", "question"}, {"ox", "x", "q"}}, {1})), "");
    EXPECT_EQ(findingsOf(problemsFromRows({{"", "question"}, {"ox", "q"}}, {0})), "");
}

} // namespace
