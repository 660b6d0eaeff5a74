#include "ui/FileCommands.h"

#include "document/ProblemListFile.h"
#include "ui/EditorState.h"
#include "ui/FileDialog.h"
#include "ui/Layout.h"
#include "ui/Messages.h"

#include <commdlg.h>

#include <string>

namespace {

const char kFileLabelPrefix[] = "編集中のファイル:";

// The chosen file becomes the set's file and is named in the file label.
void takeChosenFile(HWND window)
{
    editorState.fileTitle = editorState.fileNameBuffer.data();
    editorState.filePath = editorState.pathBuffer.data();
    ReplaceFileLabel(window, kFileLabelPrefix + editorState.fileTitle, kNamedFileLabelHeight);
}

bool saveTo(HWND window, const std::string& path)
{
    if (saveProblemList(path))
        return true;
    ShowError(window, kSaveFailedMessage);
    return false;
}

} // namespace

LRESULT OnFileNew(HWND window)
{
    editorState.editing.newSet();
    editorState.fileTitle.clear();
    editorState.filePath.clear();
    ReplaceFileLabel(window, kNewFileLabelText, kNewFileLabelHeight);
    ReplaceProblemLabel(window, kFreshProblemLabel);
    return 0;
}

LRESULT OnFileOpen(HWND window)
{
    if (AskForFile(window, "ファイルを開く", OFN_FILEMUSTEXIST) != FileChoice::Chosen)
        return -1;
    if (!editorState.editing.open(editorState.pathBuffer.data())) {
        ShowError(window, kLoadFailedMessage);
        return -1;
    }
    takeChosenFile(window);
    ReplaceProblemLabel(window, kFreshProblemLabel);
    return 0;
}

LRESULT OnFileSave(HWND window)
{
    if (editorState.filePath.empty())
        return OnFileSaveAs(window);
    return saveTo(window, editorState.filePath) ? 0 : -1;
}

LRESULT OnFileSaveAs(HWND window)
{
    if (AskForFile(window, "名前を付けて保存", OFN_OVERWRITEPROMPT) != FileChoice::Chosen)
        return -1;
    if (!saveTo(window, editorState.pathBuffer.data()))
        return -1;
    takeChosenFile(window);
    return 0;
}

LRESULT OnFileExit(HWND window)
{
    // No prompt: closing discards the set, as the close box does.
    SendMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT OnHelpVersion(HWND window)
{
    MessageBoxA(window, "ZIB V" ZIB_VERSION, "バージョン情報", MB_OK);
    return 0;
}
