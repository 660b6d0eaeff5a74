// The main window: class "ZIBMain", its creation and its window procedure.
#pragma once

#include <windows.h>

// Registers the class and creates the window; null on failure.
HWND CreateMainWindow(HINSTANCE instance);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the thread's message loop until WM_QUIT (or a failed fetch) and
// returns the process exit code.
int RunMessageLoop();
