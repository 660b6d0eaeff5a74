// The File and Help menus: new set, open, save, save as, exit, version.
#pragma once

#include <windows.h>

// Each returns the command's message result: 0, or -1 after a cancelled or
// failed Open, Save or Save As.
LRESULT OnFileNew(HWND window);
LRESULT OnFileOpen(HWND window);
LRESULT OnFileSave(HWND window);
LRESULT OnFileSaveAs(HWND window);
LRESULT OnFileExit(HWND window);
LRESULT OnHelpVersion(HWND window);
