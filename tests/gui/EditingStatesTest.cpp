// Every transition of the editing context (Fresh, Editing, Branching,
// Editing-in-branch) under Add, Branch, New problem and Select problem, seen
// as the user sees it: the problem label, the fields, and the lines of the
// selection dialog. A probe Add after each transition shows where the next
// problem goes, which is what the context decides.
#include "model/ProblemFields.h"
#include "model/ProblemList.h"
#include "tests/gui/EditorDriver.h"
#include "tests/gui/harness/ModalAnswerer.h"
#include "ui/Identifiers.h"

namespace {

const std::string kFreshLabel = "編集中の問題:新規問題";

std::string top(const std::string& name)
{
    return "【ox】" + name;
}

std::string branch(const std::string& name)
{
    return " ┗" + name;
}

std::string pickedLabel(const std::string& name)
{
    return "編集中の問題:【ox】" + name;
}

std::string parentLabel(const std::string& name)
{
    return "分岐前の問題:" + name;
}

ProblemPtr ox(const std::string& question)
{
    return createProblem(OX, {question, "答" + question});
}

// Lines: 0 A, 1 a1 (branch of A), 2 B, 3 b1 (branch of B).
class EditingStates : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ProblemPtr a = ox("A");
        a->addBranch(ox("a1"));
        ProblemPtr b = ox("B");
        b->addBranch(ox("b1"));
        problemList = {a, b};
    }

    void expectFreshScreen(std::source_location where = std::source_location::current())
    {
        const auto trace = calledFrom(where);
        EXPECT_EQ(problemLabel(window), kFreshLabel);
        EXPECT_EQ(fieldTexts(window, OX), Lines(2, ""));
    }

    // Editing: the problem's texts in the fields, its name in the label.
    void expectPicked(const std::string& name, std::source_location where = std::source_location::current())
    {
        const auto trace = calledFrom(where);
        EXPECT_EQ(problemLabel(window), pickedLabel(name));
        EXPECT_EQ(fieldTexts(window, OX), (Lines{name, "答" + name}));
        EXPECT_EQ(shownKind(window), OX);
    }

    void expectBranchingUnder(const std::string& parent,
                              std::source_location where = std::source_location::current())
    {
        const auto trace = calledFrom(where);
        EXPECT_EQ(problemLabel(window), parentLabel(parent));
        EXPECT_EQ(fieldTexts(window, OX), Lines(2, ""));
    }

    void branchingUnderNewProblem(const std::string& name,
                                  std::source_location where = std::source_location::current())
    {
        const auto trace = calledFrom(where);
        typeInto(window, kQuestionSlot, name);
        pressBranch(window);
    }
};

// From Fresh.

TEST_F(EditingStates, FreshAddAppendsATopLevelProblemAndStaysFresh)
{
    typeInto(window, kQuestionSlot, "N");
    typeInto(window, kAnswerSlot, "答N");
    pressAdd(window);
    expectFreshScreen();
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("B"), branch("b1"), top("N")}));
    addProbe(window, "x");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("B"), branch("b1"), top("N"), top("x")}));
}

TEST_F(EditingStates, FreshBranchAppendsTheProblemAndBranchesUnderIt)
{
    branchingUnderNewProblem("P");
    expectBranchingUnder("P");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("B"), branch("b1"), top("P")}));
    addProbe(window, "x");
    expectFreshScreen();
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window),
              (Lines{top("A"), branch("a1"), top("B"), branch("b1"), top("P"), branch("x"), top("y")}));
}

TEST_F(EditingStates, FreshNewProblemEmptiesTheFieldsAndStaysFresh)
{
    typeInto(window, kQuestionSlot, "typed");
    chooseNewProblem(window);
    expectFreshScreen();
    addProbe(window, "x");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("B"), branch("b1"), top("x")}));
}

TEST_F(EditingStates, FreshSelectTopLevelEditsIt)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 2));
    expectPicked("B");
    addProbe(window, "x");
    expectFreshScreen();
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("x"), branch("b1"), top("y")}));
}

TEST_F(EditingStates, FreshSelectBranchEditsItUnderItsParent)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 1));
    expectPicked("a1");
    addProbe(window, "x");
    // Overwritten; the parent stays for the next problem.
    EXPECT_EQ(problemLabel(window), kFreshLabel);
    addProbe(window, "y");
    addProbe(window, "z");
    EXPECT_EQ(selectionLines(window),
              (Lines{top("A"), branch("x"), branch("y"), top("B"), branch("b1"), top("z")}));
}

// From Editing (B picked).

TEST_F(EditingStates, EditingAddOverwritesThePickedProblem)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 2));
    typeInto(window, kQuestionSlot, "B2");
    typeInto(window, kAnswerSlot, "");
    pressAdd(window);
    expectFreshScreen();
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("B2"), branch("b1")}));
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 2));
    EXPECT_EQ(fieldTexts(window, OX), (Lines{"B2", " "}));
}

TEST_F(EditingStates, EditingBranchOverwritesThePickedProblemAndBranchesUnderIt)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 2));
    typeInto(window, kQuestionSlot, "B2");
    pressBranch(window);
    expectBranchingUnder("B2");
    addProbe(window, "x");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("B2"), branch("b1"), branch("x")}));
}

TEST_F(EditingStates, EditingNewProblemForgetsThePick)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 2));
    chooseNewProblem(window);
    expectFreshScreen();
    addProbe(window, "x");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("B"), branch("b1"), top("x")}));
}

TEST_F(EditingStates, EditingSelectTopLevelEditsTheNewPick)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 2));
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 0));
    expectPicked("A");
    addProbe(window, "x");
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window), (Lines{top("x"), branch("a1"), top("B"), branch("b1"), top("y")}));
}

TEST_F(EditingStates, EditingSelectBranchEditsItUnderItsParent)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 2));
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 1));
    expectPicked("a1");
    addProbe(window, "x");
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("x"), branch("y"), top("B"), branch("b1")}));
}

// From Branching (under a new problem P).

TEST_F(EditingStates, BranchingAddAppendsABranchAndEndsBranching)
{
    branchingUnderNewProblem("P");
    addProbe(window, "x");
    expectFreshScreen();
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window),
              (Lines{top("A"), branch("a1"), top("B"), branch("b1"), top("P"), branch("x"), top("y")}));
}

TEST_F(EditingStates, BranchingBranchAppendsABranchAndStaysReadyForAnother)
{
    branchingUnderNewProblem("P");
    typeInto(window, kQuestionSlot, "x");
    pressBranch(window);
    expectBranchingUnder("P");
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window),
              (Lines{top("A"), branch("a1"), top("B"), branch("b1"), top("P"), branch("x"), branch("y")}));
}

TEST_F(EditingStates, BranchingNewProblemForgetsTheParent)
{
    branchingUnderNewProblem("P");
    chooseNewProblem(window);
    expectFreshScreen();
    addProbe(window, "x");
    EXPECT_EQ(selectionLines(window),
              (Lines{top("A"), branch("a1"), top("B"), branch("b1"), top("P"), top("x")}));
}

TEST_F(EditingStates, BranchingSelectTopLevelKeepsTheParent)
{
    branchingUnderNewProblem("P");
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 2));
    expectPicked("B");
    addProbe(window, "x");
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window),
              (Lines{top("A"), branch("a1"), top("x"), branch("b1"), top("P"), branch("y")}));
}

TEST_F(EditingStates, BranchingSelectBranchTakesItsParent)
{
    branchingUnderNewProblem("P");
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 3));
    expectPicked("b1");
    addProbe(window, "x");
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window),
              (Lines{top("A"), branch("a1"), top("B"), branch("x"), branch("y"), top("P")}));
}

// From Editing-in-branch (a1 picked, under A).

TEST_F(EditingStates, EditingInBranchAddOverwritesAndKeepsBranchingUnderTheParent)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 1));
    addProbe(window, "x");
    EXPECT_EQ(problemLabel(window), kFreshLabel);
    EXPECT_EQ(fieldTexts(window, OX), Lines(2, ""));
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("x"), branch("y"), top("B"), branch("b1")}));
}

TEST_F(EditingStates, EditingInBranchBranchBranchesUnderTheParentNotTheBranch)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 1));
    typeInto(window, kQuestionSlot, "a1b");
    pressBranch(window);
    expectBranchingUnder("A");
    addProbe(window, "x");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1b"), branch("x"), top("B"), branch("b1")}));
}

TEST_F(EditingStates, EditingInBranchNewProblemForgetsPickAndParent)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 1));
    chooseNewProblem(window);
    expectFreshScreen();
    addProbe(window, "x");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("B"), branch("b1"), top("x")}));
}

TEST_F(EditingStates, EditingInBranchSelectTopLevelKeepsTheParent)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 1));
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 2));
    expectPicked("B");
    addProbe(window, "x");
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), branch("y"), top("x"), branch("b1")}));
}

TEST_F(EditingStates, EditingInBranchSelectOtherBranchTakesItsParent)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 1));
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 3));
    expectPicked("b1");
    addProbe(window, "x");
    addProbe(window, "y");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("B"), branch("x"), branch("y")}));
}

// Leaving the dialog without a line changes nothing, in the richest state.
TEST_F(EditingStates, CancelEscapeAndOkWithoutALineLeaveEverythingAsItWas)
{
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 3)); // b1 under B
    typeInto(window, kQuestionSlot, "typed");
    for (const char* way : {"cancel", "escape", "ok"}) {
        SCOPED_TRACE(way);
        ModalAnswerer answerer;
        answerer.then([way](HWND dialog) {
            const std::string w = way;
            if (w == "escape")
                PostMessageA(GetFocus() ? GetFocus() : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
            else
                pressButton(w == "ok" ? IDOK : IDCANCEL)(dialog);
        });
        sendCommand(window, ID_EDIT_SELECT_PROBLEM);
        pumpMessages();
        EXPECT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(problemLabel(window), pickedLabel("b1"));
        EXPECT_EQ(fieldTexts(window, OX), (Lines{"typed", "答b1"}));
    }
    pressAdd(window);
    addProbe(window, "x");
    EXPECT_EQ(selectionLines(window), (Lines{top("A"), branch("a1"), top("B"), branch("typed"), branch("x")}));
}

} // namespace
