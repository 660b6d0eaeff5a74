// The editing context's whole state table: every state (Fresh, Editing,
// Branching, Editing-in-branch) crossed with every command (Add, Branch,
// New problem, Select of a top-level line, Select of a branch line), the
// refusals of another kind, and New and Open returning to Fresh.
#include "QuizTestSupport.h"
#include "TestFiles.h"

#include "document/EditingContext.h"
#include "document/ProblemListFile.h"
#include "model/ProblemFields.h"
#include "model/ProblemLabels.h"
#include "model/ProblemList.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const std::string kFresh = kFreshProblemLabel;

std::string nameOf(const ProblemPtr& problem)
{
    return problem ? namingText(*problem) : "-";
}

TextList ox(const std::string& question)
{
    return {question, "答" + question};
}

// What a test sees of the context: target and parent by name, and the
// selection lines joined by "/".
std::string stateOf(const EditingContext& context)
{
    std::string lines;
    for (const std::string& line : selectionLines())
        lines += (lines.empty() ? "" : "/") + line;
    return "target " + nameOf(context.editTarget()) + ", parent " + nameOf(context.branchParent()) + ", " + lines;
}

std::string top(const std::string& name)
{
    return "【ox】" + name;
}

std::string branch(const std::string& name)
{
    return " ┗" + name;
}

const std::string kStart = top("A") + "/" + branch("a1") + "/" + top("B") + "/" + branch("b1");

struct Row {
    const char* state;   // how the context got there
    const char* command; // what is done then
    EditChange change;
    std::optional<std::string> label;
    std::string after; // stateOf afterwards
};

class EditingContextTest : public ::testing::Test {
protected:
    // Lines: 0 A, 1 a1 (branch of A), 2 B, 3 b1 (branch of B).
    void SetUp() override
    {
        ProblemPtr a = createProblem(OX, ox("A"));
        a->addBranch(createProblem(OX, ox("a1")));
        ProblemPtr b = createProblem(OX, ox("B"));
        b->addBranch(createProblem(OX, ox("b1")));
        problemList = {a, b};
    }
    void TearDown() override { problemList.clear(); }

    void enter(const std::string& state)
    {
        if (state == "Editing")
            context.select(2); // B
        else if (state == "Branching")
            context.branch(OX, ox("P")); // a new top-level problem P
        else if (state == "Editing-in-branch")
            context.select(1); // a1 under A
        ASSERT_EQ(state == "Fresh" || context.editTarget() || context.branchParent(), true) << state;
    }

    EditResult run(const std::string& command)
    {
        if (command == "Add x")
            return context.add(OX, ox("x"));
        if (command == "Branch x")
            return context.branch(OX, ox("x"));
        if (command == "New problem")
            return context.newProblem();
        if (command.starts_with("Select "))
            return context.select(std::stoi(command.substr(7)));
        ADD_FAILURE() << "no command " << command;
        return {};
    }

    void check(const Row& row)
    {
        SCOPED_TRACE(std::string(row.state) + ", then " + row.command);
        SetUp();
        context = EditingContext();
        ASSERT_NO_FATAL_FAILURE(enter(row.state));
        const EditResult result = run(row.command);
        EXPECT_EQ(result.change, row.change);
        EXPECT_EQ(result.problemLabel, row.label);
        EXPECT_EQ(stateOf(context), row.after);
    }

    EditingContext context;
};

TEST_F(EditingContextTest, EveryStateUnderEveryCommand)
{
    using enum EditChange;
    const std::string withP = kStart + "/" + top("P");
    const Row rows[] = {
        {"Fresh", "Add x", Appended, std::nullopt, "target -, parent -, " + kStart + "/" + top("x")},
        {"Fresh", "Branch x", Appended, "分岐前の問題:x", "target -, parent x, " + kStart + "/" + top("x")},
        {"Fresh", "New problem", None, kFresh, "target -, parent -, " + kStart},
        {"Fresh", "Select 2", Picked, "編集中の問題:【ox】B", "target B, parent -, " + kStart},
        {"Fresh", "Select 1", Picked, "編集中の問題:【ox】a1", "target a1, parent A, " + kStart},

        {"Editing", "Add x", Overwrote, kFresh,
         "target -, parent -, " + top("A") + "/" + branch("a1") + "/" + top("x") + "/" + branch("b1")},
        {"Editing", "Branch x", Overwrote, "分岐前の問題:x",
         "target -, parent x, " + top("A") + "/" + branch("a1") + "/" + top("x") + "/" + branch("b1")},
        {"Editing", "New problem", None, kFresh, "target -, parent -, " + kStart},
        {"Editing", "Select 0", Picked, "編集中の問題:【ox】A", "target A, parent -, " + kStart},
        {"Editing", "Select 1", Picked, "編集中の問題:【ox】a1", "target a1, parent A, " + kStart},

        {"Branching", "Add x", AppendedBranch, kFresh, "target -, parent -, " + withP + "/" + branch("x")},
        {"Branching", "Branch x", AppendedBranch, "分岐前の問題:P", "target -, parent P, " + withP + "/" + branch("x")},
        {"Branching", "New problem", None, kFresh, "target -, parent -, " + withP},
        {"Branching", "Select 2", Picked, "編集中の問題:【ox】B", "target B, parent P, " + withP},
        {"Branching", "Select 3", Picked, "編集中の問題:【ox】b1", "target b1, parent B, " + withP},

        {"Editing-in-branch", "Add x", Overwrote, kFresh,
         "target -, parent A, " + top("A") + "/" + branch("x") + "/" + top("B") + "/" + branch("b1")},
        {"Editing-in-branch", "Branch x", Overwrote, "分岐前の問題:A",
         "target -, parent A, " + top("A") + "/" + branch("x") + "/" + top("B") + "/" + branch("b1")},
        {"Editing-in-branch", "New problem", None, kFresh, "target -, parent -, " + kStart},
        {"Editing-in-branch", "Select 2", Picked, "編集中の問題:【ox】B", "target B, parent A, " + kStart},
        {"Editing-in-branch", "Select 3", Picked, "編集中の問題:【ox】b1", "target b1, parent B, " + kStart},
    };
    for (const Row& row : rows)
        check(row);
}

TEST_F(EditingContextTest, AnAddOverAProblemOfAnotherKindChangesNothing)
{
    context.select(2); // B, an ox problem
    EXPECT_EQ(context.add(YONTAKU, {"q", "a", "1", "2", "3"}).change, EditChange::RefusedOtherKind);
    EXPECT_EQ(context.add(-1, {}).change, EditChange::RefusedOtherKind);
    EXPECT_EQ(stateOf(context), "target B, parent -, " + kStart);
    EXPECT_EQ(getFields(*problemList[1]), ox("B"));
}

// Branch goes on after the refusal: the picked problem, or the parent there
// was, receives the next branch.
TEST_F(EditingContextTest, ABranchOverAProblemOfAnotherKindStillStartsBranching)
{
    context.select(2);
    const EditResult fromEditing = context.branch(NARABEKAE, ox("x"));
    EXPECT_EQ(fromEditing.change, EditChange::RefusedOtherKind);
    EXPECT_EQ(fromEditing.problemLabel, "分岐前の問題:B");
    EXPECT_EQ(stateOf(context), "target -, parent B, " + kStart);

    context.select(1);
    EXPECT_EQ(context.branch(NARABEKAE, ox("x")).change, EditChange::RefusedOtherKind);
    EXPECT_EQ(stateOf(context), "target -, parent A, " + kStart);
}

// Only a picked problem is compared: a branch may be of another kind, and
// keeps it.
TEST_F(EditingContextTest, ANewBranchTakesTheSelectedKind)
{
    context.select(2);
    context.branch(OX, ox("B2"));
    EXPECT_EQ(context.add(YONTAKU, {"枝", "a", "1", "2", "3"}).change, EditChange::AppendedBranch);
    const ProblemRefs branches = problemList[1]->getBranches();
    ASSERT_EQ(branches.size(), 2u);
    EXPECT_EQ(branches[1]->type, YONTAKU);
    EXPECT_EQ(getFields(*branches[1]), (TextList{"枝", "a", "1", "2", "3"}));
}

TEST_F(EditingContextTest, NoKindAndNoLineDoNothing)
{
    context.select(1);
    const std::string before = stateOf(context);
    EXPECT_EQ(context.branch(6, ox("x")).change, EditChange::None);
    for (int line : {-1, 4, 1000}) {
        const EditResult result = context.select(line);
        EXPECT_EQ(result.change, EditChange::None) << line;
        EXPECT_EQ(result.problemLabel, std::nullopt) << line;
    }
    EXPECT_EQ(stateOf(context), before);
    context.newProblem();
    EXPECT_EQ(context.add(-1, ox("x")).change, EditChange::None);
    EXPECT_EQ(selectionLines().size(), 4u);
}

// Overwriting replaces every list by exactly the fields' texts and keeps
// the problem's branches.
TEST_F(EditingContextTest, OverwritingKeepsBranchesAndReplacesLists)
{
    ProblemPtr yontaku = createProblem(YONTAKU, {"q", "a", "1", "2", "3"});
    static_cast<ProblemYontaku&>(*yontaku).setContents("q", "a", {"1", "2", "3", "4", "5"});
    yontaku->addBranch(createProblem(YONTAKU, {"枝"}));
    problemList = {yontaku};
    context.select(0);
    EXPECT_EQ(context.add(YONTAKU, {"新", " ", "d1", "d2", " "}).change, EditChange::Overwrote);
    EXPECT_EQ(static_cast<const ProblemYontaku&>(*yontaku).getDummies(), (TextList{"d1", "d2", " "}));
    EXPECT_EQ(yontaku->getBranches().size(), 1u);
}

TEST_F(EditingContextTest, SelectionLinesNameEveryKindAndEveryBranchByItsOwnKind)
{
    ProblemPtr parent = createProblem(OX, {"", "a"});
    parent->addBranch(createProblem(RENSOU, {"枝ヒント"}));
    ProblemPtr unknown = std::make_shared<ProblemOX>(7, "見えない", "答");
    unknown->addBranch(std::make_shared<ProblemOX>(-1, "枝", "答"));
    problemList = {parent, createProblem(RENSOU, {"最初のヒント"}), createProblem(NARABEKAE, {"並"}),
                   createProblem(PANEL, {"パ"}), createProblem(SLOT, {"ス"}), unknown};
    EXPECT_EQ(selectionLines(), (std::vector<std::string>{"【ox】", " ┗枝ヒント", "【連想】最初のヒント", "【並替】並",
                                                          "【パネ】パ", "【スロ】ス", "", " ┗"}));
    // Every problem has its line, so the lines after stay aligned.
    EXPECT_EQ(context.select(7).change, EditChange::Picked);
    EXPECT_EQ(context.editTarget()->type, -1);
    EXPECT_EQ(context.branchParent(), unknown);
}

TEST_F(EditingContextTest, NewSetEmptiesTheListAndReturnsToFresh)
{
    context.select(3);
    context.newSet();
    EXPECT_EQ(stateOf(context), "target -, parent -, ");
}

TEST_F(EditingContextTest, OpenReturnsToFreshOnlyWhenTheFileLoads)
{
    TestFolder folder;
    const std::string good = folder.path("good.xml");
    writeQuizFile(good, "<root><ox><main><question>F</question></main></ox></root>");
    writeQuizFile(folder.path("bad.xml"), "<root><ox>");

    context.select(3);
    EXPECT_FALSE(context.open(folder.path("bad.xml")));
    EXPECT_FALSE(context.open(folder.path("missing.xml")));
    EXPECT_EQ(stateOf(context), "target b1, parent B, " + kStart);

    EXPECT_TRUE(context.open(good));
    EXPECT_EQ(stateOf(context), "target -, parent -, " + top("F"));
}

} // namespace
