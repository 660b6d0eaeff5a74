// What Add, Branch and Select problem do with the texts of the fields, and
// the refusal to overwrite a problem of another kind.
#include "model/ProblemFields.h"
#include "model/ProblemList.h"
#include "tests/gui/EditorDriver.h"
#include "tests/gui/harness/ModalAnswerer.h"

namespace {

const std::string kMismatch = "問題タイプの異なる問題へは編集できません";
const char* const kKindLabels[] = {"【ox】", "【四択】", "【連想】", "【並替】", "【パネ】", "【スロ】"};

// Distinct texts for each of the kind's fields: "<tag>-<i>".
Lines textsFor(int kind)
{
    Lines texts;
    for (std::size_t i = 0; i < textSlotsOf(kind).size(); ++i)
        texts.push_back(std::to_string(kind) + "-" + std::to_string(i));
    return texts;
}

void typeAll(HWND window, int kind, const Lines& texts)
{
    const std::vector<int> slots = textSlotsOf(kind);
    for (std::size_t i = 0; i < slots.size(); ++i)
        typeInto(window, slots[i], texts[i]);
}

// Runs the command expecting one message box, answered with OK.
ModalWindow expectOneMessage(HWND window, void (*command)(HWND))
{
    ModalAnswerer answerer;
    answerer.then(pressButton(IDOK));
    command(window);
    EXPECT_EQ(answerer.seen().size(), 1u);
    return answerer.seen().empty() ? ModalWindow{} : answerer.seen()[0];
}

using EditingCommands = MainWindowTest;

TEST_F(EditingCommands, AddWithEmptyFieldsStoresTheBlankTextInEveryField)
{
    for (int kind = 0; kind < 6; ++kind) {
        chooseKind(window, kind);
        pressAdd(window);
    }
    Lines expected;
    for (const char* label : kKindLabels)
        expected.push_back(std::string(label) + " ");
    EXPECT_EQ(selectionLines(window), expected);
    for (int kind = 0; kind < 6; ++kind) {
        SCOPED_TRACE(kind);
        selectLine(window, kind);
        EXPECT_EQ(fieldTexts(window, kind), Lines(textSlotsOf(kind).size(), " "));
    }
}

TEST_F(EditingCommands, AddKeepsTheKindEmptiesTheFieldsAndLeavesTheLabel)
{
    chooseKind(window, 2);
    typeAll(window, 2, textsFor(2));
    pressAdd(window);
    EXPECT_EQ(shownKind(window), 2);
    EXPECT_EQ(fieldTexts(window, 2), Lines(8, ""));
    EXPECT_EQ(problemLabel(window), "編集中の問題:新規問題");
    EXPECT_EQ(selectionLines(window), Lines{"【連想】2-0"});
}

TEST_F(EditingCommands, SelectShowsEveryKindsTextsInItsFieldsAndItsNameInTheLabel)
{
    for (int kind = 0; kind < 6; ++kind) {
        chooseKind(window, kind);
        typeAll(window, kind, textsFor(kind));
        pressAdd(window);
    }
    chooseKind(window, 0);
    for (int kind = 0; kind < 6; ++kind) {
        SCOPED_TRACE(kind);
        selectLine(window, kind);
        EXPECT_EQ(shownKind(window), kind);
        EXPECT_EQ(fieldTexts(window, kind), textsFor(kind));
        // The association kind is named by its first hint, like the others by
        // their question: both are the first field.
        EXPECT_EQ(problemLabel(window), "編集中の問題:" + std::string(kKindLabels[kind]) + textsFor(kind)[0]);
    }
}

TEST_F(EditingCommands, OverwritingReplacesAListByExactlyTheKindsFields)
{
    problemList = {std::make_shared<ProblemYontaku>(1, "問", "答", TextList{"d1", "d2", "d3", "d4", "d5"})};
    selectLine(window, 0);
    EXPECT_EQ(fieldTexts(window, 1), (Lines{"問", "答", "d1", "d2", "d3"}));
    typeInto(window, 7, "");
    pressAdd(window);
    const auto& problem = static_cast<const ProblemYontaku&>(*problemList.front());
    EXPECT_EQ(problem.getDummies(), (TextList{"d1", "d2", " "}));
}

TEST_F(EditingCommands, TheQuestionKeepsItsLineBreaks)
{
    const std::string question = "一行目\r\n二行目\r\n";
    typeInto(window, 1, question);
    pressAdd(window);
    selectLine(window, 0);
    EXPECT_EQ(windowText(fieldControl(window, 1)), question);
}

TEST_F(EditingCommands, AFieldIsReadUpTo32767Bytes)
{
    typeInto(window, 1, std::string(40000, 'q'));
    ASSERT_GT(windowText(fieldControl(window, 1)).size(), 32767u) << "the field itself holds less";
    pressAdd(window);
    selectLine(window, 0);
    EXPECT_EQ(windowText(fieldControl(window, 1)), std::string(32767, 'q'));
}

TEST_F(EditingCommands, BranchNamesAnAssociationParentByItsFirstHint)
{
    chooseKind(window, 2);
    typeInto(window, 9, "最初のヒント");
    typeInto(window, 10, "次のヒント");
    pressBranch(window);
    EXPECT_EQ(problemLabel(window), "分岐前の問題:最初のヒント");
    EXPECT_EQ(shownKind(window), 2);
    EXPECT_EQ(fieldTexts(window, 2), Lines(8, ""));
}

TEST_F(EditingCommands, AddOfAnotherKindOverThePickedProblemIsRefused)
{
    problemList = {createProblem(0, {"元", "答"})};
    selectLine(window, 0);
    chooseKind(window, 1);
    typeInto(window, 1, "四択の問");
    typeInto(window, 5, "誤");
    const ModalWindow box = expectOneMessage(window, pressAdd);
    EXPECT_EQ(box.caption, "エラー");
    EXPECT_EQ(box.text, kMismatch);
    EXPECT_EQ(fieldTexts(window, 1), (Lines{"四択の問", "", "誤", "", ""}));
    EXPECT_EQ(problemLabel(window), "編集中の問題:【ox】元");
    EXPECT_EQ(selectionLines(window), Lines{"【ox】元"});
}

TEST_F(EditingCommands, ChoosingThePickedKindAgainKeepsThePickWithEmptyFields)
{
    problemList = {createProblem(0, {"元", "答"})};
    selectLine(window, 0);
    chooseKind(window, 1);
    chooseKind(window, 0);
    EXPECT_EQ(fieldTexts(window, 0), Lines(2, ""));
    ModalAnswerer answerer;
    pressAdd(window);
    EXPECT_TRUE(answerer.seen().empty()) << answerer.seen()[0].text;
    EXPECT_EQ(selectionLines(window), Lines{"【ox】 "});
}

TEST_F(EditingCommands, BranchAfterTheRefusalStartsABranchUnderThePick)
{
    problemList = {createProblem(0, {"元", "答"})};
    selectLine(window, 0);
    chooseKind(window, 1);
    typeInto(window, 1, "捨てられる");
    const ModalWindow box = expectOneMessage(window, pressBranch);
    EXPECT_EQ(box.text, kMismatch);
    EXPECT_EQ(problemLabel(window), "分岐前の問題:元");
    EXPECT_EQ(fieldTexts(window, 1), Lines(5, ""));
    EXPECT_EQ(shownKind(window), 1);
    addProbe(window, "枝");
    EXPECT_EQ(selectionLines(window), (Lines{"【ox】元", " ┗枝"}));
    // The branch keeps the kind it was composed in.
    selectLine(window, 1);
    EXPECT_EQ(problemLabel(window), "編集中の問題:【四択】枝");
    EXPECT_EQ(shownKind(window), 1);
}

TEST_F(EditingCommands, BranchAfterTheRefusalInABranchKeepsItsParent)
{
    ProblemPtr parent = createProblem(0, {"親", "答"});
    parent->addBranch(createProblem(0, {"枝", "答"}));
    problemList = {parent};
    selectLine(window, 1);
    chooseKind(window, 3);
    const ModalWindow box = expectOneMessage(window, pressBranch);
    EXPECT_EQ(box.text, kMismatch);
    EXPECT_EQ(problemLabel(window), "分岐前の問題:親");
    addProbe(window, "新");
    EXPECT_EQ(selectionLines(window), (Lines{"【ox】親", " ┗枝", " ┗新"}));
}

} // namespace
