// Entry point: one main window, one message loop. Command line and show state
// are ignored.
#include "ui/MainWindow.h"
#include "ui/Messages.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HWND window = CreateMainWindow(instance);
    if (!window) {
        ShowError(nullptr, "ウィンドウの作成に失敗しました");
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return RunMessageLoop();
}
