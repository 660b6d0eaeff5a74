#include "ui/ProblemSelectionDialog.h"

#include "document/EditingContext.h"
#include "ui/Identifiers.h"

#include <string>
#include <vector>

namespace {

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY;

// Kept between the messages of one opening; rebuilt at each.
struct SelectionDialogState {
    HWND list = nullptr;
    std::vector<std::string> selectionEntries;
};
SelectionDialogState dialogState;

HWND createList(HWND dialog)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    // Pixels of the client area, not dialog units.
    return CreateWindowExA(0, "LISTBOX", nullptr, kListStyle, 5, 5, 290, 180, dialog,
                           reinterpret_cast<HMENU>(IDC_SELECTION_LIST), instance, nullptr);
}

// Not sorted: line i shows entry i. A large set has tens of thousands of
// lines: the list reserves room for them at once and redraws only at the end.
void addLines(HWND list, const std::vector<std::string>& entries)
{
    std::size_t bytes = 0;
    for (const std::string& entry : entries)
        bytes += entry.size() + 1;
    SendMessageA(list, LB_INITSTORAGE, entries.size(), static_cast<LPARAM>(bytes));
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (const std::string& entry : entries)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void onInitDialog(HWND dialog)
{
    dialogState.list = createList(dialog);
    dialogState.selectionEntries = selectionLines();
    addLines(dialogState.list, dialogState.selectionEntries);
}

// A double click in the list only selects: the dialog waits for OK.
void onCommand(HWND dialog, WORD id)
{
    if (id == IDOK)
        EndDialog(dialog, SendMessageA(dialogState.list, LB_GETCURSEL, 0, 0));
    else if (id == IDCANCEL)
        EndDialog(dialog, -1);
}

INT_PTR CALLBACK selectionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    // No exception may unwind into the dialog manager: a dialog that cannot
    // be filled ends as if cancelled.
    try {
        switch (message) {
        case WM_INITDIALOG: onInitDialog(dialog); return TRUE;
        case WM_COMMAND: onCommand(dialog, LOWORD(wParam)); return TRUE;
        default: return FALSE;
        }
    } catch (...) {
        EndDialog(dialog, -1);
        return TRUE;
    }
}

} // namespace

int RunProblemSelectionDialog(HWND owner)
{
    const INT_PTR line = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DIALOG1), owner,
                                         selectionDialogProc, 0);
    return line < 0 ? -1 : static_cast<int>(line);
}
