#include "ui/FileDialog.h"

#include "ui/EditorState.h"
#include "ui/Messages.h"

#include <commdlg.h>

namespace {

// Two filters, NUL-separated and ending in two NULs; the first is the default.
const char kFilter[] = "XML(*.xml)\0*.xml\0All files(*.*)\0*.*\0";

} // namespace

FileChoice AskForFile(HWND owner, const char* title, DWORD flags)
{
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.lpstrFile = editorState.pathBuffer.data();
    dialog.nMaxFile = kFileBufferSize;
    dialog.lpstrFileTitle = editorState.fileNameBuffer.data();
    dialog.nMaxFileTitle = kFileBufferSize;
    dialog.lpstrTitle = title;
    dialog.Flags = flags;
    dialog.lpstrDefExt = "xml";
    if (GetSaveFileNameA(&dialog))
        return FileChoice::Chosen;
    if (CommDlgExtendedError() == 0)
        return FileChoice::Cancelled;
    ShowError(owner, "ダイアログ表示に失敗しました");
    return FileChoice::Failed;
}
