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

void typeAll(HWND window, int kind, const Lines& texts,
             std::source_location where = std::source_location::current())
{
    const auto trace = calledFrom(where);
    const std::vector<int> slots = textSlotsOf(kind);
    for (std::size_t i = 0; i < slots.size(); ++i)
        typeInto(window, slots[i], texts[i]);
}

// Runs the command expecting one message box, answered with OK.
ModalWindow expectOneMessage(HWND window, void (*command)(HWND, std::source_location),
                             std::source_location where = std::source_location::current())
{
    const auto trace = calledFrom(where);
    ModalAnswerer answerer;
    answerer.then(pressButton(IDOK));
    command(window, std::source_location::current());
    EXPECT_EQ(answerer.seen().size(), 1u);
    return answerer.seen().empty() ? ModalWindow{} : answerer.seen()[0];
}

using EditingCommands = MainWindowTest;

TEST_F(EditingCommands, AddWithEmptyFieldsStoresTheBlankTextInEveryField)
{
    for (int kind = OX; kind <= SLOT; ++kind) {
        chooseKind(window, kind);
        pressAdd(window);
    }
    Lines expected;
    for (const char* label : kKindLabels)
        expected.push_back(std::string(label) + " ");
    EXPECT_EQ(selectionLines(window), expected);
    for (int kind = OX; kind <= SLOT; ++kind) {
        SCOPED_TRACE(kind);
        ASSERT_NO_FATAL_FAILURE(selectLine(window, kind));
        EXPECT_EQ(fieldTexts(window, kind), Lines(textSlotsOf(kind).size(), " "));
    }
}

TEST_F(EditingCommands, AddKeepsTheKindEmptiesTheFieldsAndLeavesTheLabel)
{
    chooseKind(window, RENSOU);
    typeAll(window, RENSOU, textsFor(RENSOU));
    pressAdd(window);
    EXPECT_EQ(shownKind(window), RENSOU);
    EXPECT_EQ(fieldTexts(window, RENSOU), Lines(8, ""));
    EXPECT_EQ(problemLabel(window), "編集中の問題:新規問題");
    EXPECT_EQ(selectionLines(window), Lines{"【連想】2-0"});
}

TEST_F(EditingCommands, SelectShowsEveryKindsTextsInItsFieldsAndItsNameInTheLabel)
{
    for (int kind = OX; kind <= SLOT; ++kind) {
        chooseKind(window, kind);
        typeAll(window, kind, textsFor(kind));
        pressAdd(window);
    }
    chooseKind(window, OX);
    for (int kind = OX; kind <= SLOT; ++kind) {
        SCOPED_TRACE(kind);
        ASSERT_NO_FATAL_FAILURE(selectLine(window, kind));
        EXPECT_EQ(shownKind(window), kind);
        EXPECT_EQ(fieldTexts(window, kind), textsFor(kind));
        // The association kind is named by its first hint, like the others by
        // their question: both are the first field.
        EXPECT_EQ(problemLabel(window), "編集中の問題:" + std::string(kKindLabels[kind]) + textsFor(kind)[0]);
    }
}

TEST_F(EditingCommands, OverwritingReplacesAListByExactlyTheKindsFields)
{
    problemList = {std::make_shared<ProblemYontaku>(YONTAKU, "問", "答", TextList{"d1", "d2", "d3", "d4", "d5"})};
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 0));
    EXPECT_EQ(fieldTexts(window, YONTAKU), (Lines{"問", "答", "d1", "d2", "d3"}));
    typeInto(window, kFirstDummySlot + 2, "");
    pressAdd(window);
    const auto& problem = static_cast<const ProblemYontaku&>(*problemList.front());
    EXPECT_EQ(problem.getDummies(), (TextList{"d1", "d2", " "}));
}

TEST_F(EditingCommands, TheQuestionKeepsItsLineBreaks)
{
    const std::string question = "一行目\r\n二行目\r\n";
    typeInto(window, kQuestionSlot, question);
    pressAdd(window);
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 0));
    EXPECT_EQ(windowText(fieldControl(window, kQuestionSlot)), question);
}

TEST_F(EditingCommands, AFieldIsReadUpTo32767Bytes)
{
    typeInto(window, kQuestionSlot, std::string(40000, 'q'));
    ASSERT_GT(windowText(fieldControl(window, kQuestionSlot)).size(), 32767u) << "the field itself holds less";
    pressAdd(window);
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 0));
    EXPECT_EQ(windowText(fieldControl(window, kQuestionSlot)), std::string(32767, 'q'));
}

TEST_F(EditingCommands, BranchNamesAnAssociationParentByItsFirstHint)
{
    chooseKind(window, RENSOU);
    typeInto(window, kFirstHintSlot, "最初のヒント");
    typeInto(window, kFirstHintSlot + 1, "次のヒント");
    pressBranch(window);
    EXPECT_EQ(problemLabel(window), "分岐前の問題:最初のヒント");
    EXPECT_EQ(shownKind(window), RENSOU);
    EXPECT_EQ(fieldTexts(window, RENSOU), Lines(8, ""));
}

TEST_F(EditingCommands, AddOfAnotherKindOverThePickedProblemIsRefused)
{
    problemList = {createProblem(OX, {"元", "答"})};
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 0));
    chooseKind(window, YONTAKU);
    typeInto(window, kQuestionSlot, "四択の問");
    typeInto(window, kFirstDummySlot, "誤");
    const ModalWindow box = expectOneMessage(window, pressAdd);
    EXPECT_EQ(box.caption, "エラー");
    EXPECT_EQ(box.text, kMismatch);
    EXPECT_EQ(fieldTexts(window, YONTAKU), (Lines{"四択の問", "", "誤", "", ""}));
    EXPECT_EQ(problemLabel(window), "編集中の問題:【ox】元");
    EXPECT_EQ(selectionLines(window), Lines{"【ox】元"});
}

TEST_F(EditingCommands, ChoosingThePickedKindAgainKeepsThePickWithEmptyFields)
{
    problemList = {createProblem(OX, {"元", "答"})};
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 0));
    chooseKind(window, YONTAKU);
    chooseKind(window, OX);
    EXPECT_EQ(fieldTexts(window, OX), Lines(2, ""));
    ModalAnswerer answerer;
    pressAdd(window);
    EXPECT_TRUE(answerer.seen().empty()) << answerer.seen()[0].text;
    EXPECT_EQ(selectionLines(window), Lines{"【ox】 "});
}

TEST_F(EditingCommands, BranchAfterTheRefusalStartsABranchUnderThePick)
{
    problemList = {createProblem(OX, {"元", "答"})};
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 0));
    chooseKind(window, YONTAKU);
    typeInto(window, kQuestionSlot, "捨てられる");
    const ModalWindow box = expectOneMessage(window, pressBranch);
    EXPECT_EQ(box.text, kMismatch);
    EXPECT_EQ(problemLabel(window), "分岐前の問題:元");
    EXPECT_EQ(fieldTexts(window, YONTAKU), Lines(5, ""));
    EXPECT_EQ(shownKind(window), YONTAKU);
    addProbe(window, "枝");
    EXPECT_EQ(selectionLines(window), (Lines{"【ox】元", " ┗枝"}));
    // The branch keeps the kind it was composed in.
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 1));
    EXPECT_EQ(problemLabel(window), "編集中の問題:【四択】枝");
    EXPECT_EQ(shownKind(window), YONTAKU);
}

TEST_F(EditingCommands, BranchAfterTheRefusalInABranchKeepsItsParent)
{
    ProblemPtr parent = createProblem(OX, {"親", "答"});
    parent->addBranch(createProblem(OX, {"枝", "答"}));
    problemList = {parent};
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 1));
    chooseKind(window, NARABEKAE);
    const ModalWindow box = expectOneMessage(window, pressBranch);
    EXPECT_EQ(box.text, kMismatch);
    EXPECT_EQ(problemLabel(window), "分岐前の問題:親");
    addProbe(window, "新");
    EXPECT_EQ(selectionLines(window), (Lines{"【ox】親", " ┗枝", " ┗新"}));
}

} // namespace
