#include "ui/EditingCommands.h"

#include "model/ProblemFields.h"
#include "ui/EditorState.h"
#include "ui/FieldTexts.h"
#include "ui/Identifiers.h"
#include "ui/Layout.h"
#include "ui/Messages.h"
#include "ui/ProblemSelectionDialog.h"

namespace {

// The fields are rebuilt through the window, as the user's own choice of a
// kind arrives, and the rebuild runs to completion before this goes on.
void rebuildFields(HWND window)
{
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_TYPE_COMBO, CBN_SELCHANGE), 0);
}

void showLabel(HWND window, const EditResult& result)
{
    if (result.problemLabel)
        ReplaceProblemLabel(window, *result.problemLabel);
}

void reportRefusal(HWND window)
{
    ShowError(window, "問題タイプの異なる問題へは編集できません");
}

} // namespace

void OnAdd(HWND window)
{
    const int kind = SelectedKind();
    const EditResult result = editorState.editing.add(kind, ReadFieldTexts(kind));
    switch (result.change) {
    case EditChange::RefusedOtherKind: reportRefusal(window); return;
    case EditChange::Appended:
    case EditChange::AppendedBranch:
    case EditChange::Overwrote:
        showLabel(window, result);
        ClearFieldTexts(kind);
        return;
    default: return;
    }
}

void OnBranch(HWND window)
{
    const int kind = SelectedKind();
    const EditResult result = editorState.editing.branch(kind, ReadFieldTexts(kind));
    if (result.change == EditChange::None)
        return;
    if (result.change == EditChange::RefusedOtherKind)
        reportRefusal(window);
    rebuildFields(window);
    showLabel(window, result);
}

void OnNewProblem(HWND window)
{
    rebuildFields(window);
    showLabel(window, editorState.editing.newProblem());
}

void OnSelectProblem(HWND window)
{
    const EditResult result = editorState.editing.select(RunProblemSelectionDialog(window));
    if (result.change != EditChange::Picked)
        return;
    const ProblemBase& problem = *editorState.editing.editTarget();
    showLabel(window, result);
    SendMessageA(editorState.typeCombo, CB_SETCURSEL, static_cast<WPARAM>(problem.type), 0);
    rebuildFields(window);
    ShowFieldTexts(problem.type, getFields(problem));
}
