// WM_COMMAND of the main window: maps command identifiers to their handlers.
#pragma once

#include <windows.h>

// The message result: 0, or -1 after a failed or cancelled file command.
LRESULT OnCommand(HWND window, WORD id, WORD notification);
