// Entry point: one main window, one message loop. Command line and show state
// are ignored.
#include "ui/MainWindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HWND window = CreateMainWindow(instance);
    if (!window) {
        MessageBoxA(nullptr, "ウィンドウの作成に失敗しました", "エラー", MB_OK);
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return RunMessageLoop();
}
