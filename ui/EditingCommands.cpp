#include "ui/EditingCommands.h"

#include "model/ProblemFields.h"
#include "model/ProblemLabels.h"
#include "model/ProblemList.h"
#include "ui/EditorState.h"
#include "ui/FieldTexts.h"
#include "ui/Identifiers.h"
#include "ui/Layout.h"
#include "ui/Messages.h"
#include "ui/ProblemSelectionDialog.h"

#include <string>

namespace {

const char kPickedLabelPrefix[] = "編集中の問題:";
const char kBranchParentLabelPrefix[] = "分岐前の問題:";

bool isKind(int kind)
{
    return kind >= 0 && kind < kProblemTypeCount;
}

// Commands reuse one another through the window, as the user's own command
// would arrive, and the inner one runs to completion before this goes on.
void sendCommand(HWND window, WORD id, WORD notification = 0)
{
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, notification), 0);
}

void performAdd(HWND window)
{
    sendCommand(window, IDC_ADD_BUTTON);
}

void rebuildFields(HWND window)
{
    sendCommand(window, IDC_TYPE_COMBO, CBN_SELCHANGE);
}

// Overwrites the picked problem, or makes a new one under the branch parent.
void commitToContext(HWND window, int kind, const TextList& texts)
{
    if (editorState.editTarget) {
        setFields(*editorState.editTarget, texts);
        editorState.editTarget.reset();
    } else {
        editorState.branchParent->addBranch(createProblem(kind, texts));
        editorState.branchParent.reset();
    }
    ReplaceProblemLabel(window, kNewProblemLabelText);
}

struct LineTarget {
    ProblemPtr problem;
    ProblemPtr parent; // set when the line is a branch
};

// Counts lines as the selection dialog lists them: each top-level problem,
// then its direct branches.
LineTarget problemAtLine(int line)
{
    int count = 0;
    for (const ProblemPtr& problem : problemList) {
        if (count++ == line)
            return {problem, nullptr};
        for (const ProblemPtr& branch : problem->getBranches()) {
            if (count++ == line)
                return {branch, problem};
        }
    }
    return {};
}

} // namespace

void OnAdd(HWND window)
{
    const int kind = SelectedKind();
    if (editorState.editTarget && editorState.editTarget->type != kind) {
        ShowError(window, "問題タイプの異なる問題へは編集できません");
        return;
    }
    if (!isKind(kind))
        return;
    const TextList texts = ReadFieldTexts(kind);
    if (editorState.editTarget || editorState.branchParent)
        commitToContext(window, kind, texts);
    else
        problemList.push_back(createProblem(kind, texts));
    ClearFieldTexts(kind);
}

void OnBranch(HWND window)
{
    if (!isKind(SelectedKind()))
        return;
    // The parent stays the branch parent, or becomes the picked problem; with
    // neither, it is the problem that this Add appends.
    ProblemPtr parent = editorState.branchParent ? editorState.branchParent : editorState.editTarget;
    performAdd(window);
    if (!parent && !problemList.empty())
        parent = problemList.back();
    editorState.branchParent = parent;
    editorState.editTarget.reset();
    rebuildFields(window);
    if (parent)
        ReplaceProblemLabel(window, kBranchParentLabelPrefix + namingText(*parent));
}

void OnNewProblem(HWND window)
{
    rebuildFields(window);
    editorState.branchParent.reset();
    editorState.editTarget.reset();
    ReplaceProblemLabel(window, kNewProblemLabelText);
}

void OnSelectProblem(HWND window)
{
    const int line = RunProblemSelectionDialog(window);
    if (line < 0)
        return;
    const LineTarget target = problemAtLine(line);
    if (!target.problem)
        return;
    editorState.editTarget = target.problem;
    if (target.parent)
        editorState.branchParent = target.parent;
    const ProblemBase& problem = *target.problem;
    ReplaceProblemLabel(window, kPickedLabelPrefix + kindLabel(problem.type) + namingText(problem));
    SendMessageA(editorState.typeCombo, CB_SETCURSEL, static_cast<WPARAM>(problem.type), 0);
    rebuildFields(window);
    ShowFieldTexts(problem.type, getFields(problem));
}
