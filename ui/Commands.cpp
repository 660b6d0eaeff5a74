#include "ui/Commands.h"

#include "ui/EditingCommands.h"
#include "ui/FileCommands.h"
#include "ui/Identifiers.h"
#include "ui/Layout.h"

LRESULT OnCommand(HWND window, WORD id, WORD notification)
{
    switch (id) {
    case IDC_TYPE_COMBO:
        if (notification == CBN_SELCHANGE)
            RebuildFields(window);
        return 0;
    case ID_FILE_NEW: return OnFileNew(window);
    case ID_FILE_OPEN: return OnFileOpen(window);
    case ID_FILE_SAVE: return OnFileSave(window);
    case ID_FILE_SAVE_AS: return OnFileSaveAs(window);
    case ID_FILE_EXIT: return OnFileExit(window);
    case ID_HELP_VERSION: return OnHelpVersion(window);
    case IDC_ADD_BUTTON: OnAdd(window); return 0;
    case IDC_BRANCH_BUTTON: OnBranch(window); return 0;
    case ID_EDIT_NEW_PROBLEM: OnNewProblem(window); return 0;
    case ID_EDIT_SELECT_PROBLEM: OnSelectProblem(window); return 0;
    default:
        // Anything else, the field controls' notifications among them.
        return 0;
    }
}
