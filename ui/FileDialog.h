// The save-style file dialog that both Open and Save As show.
#pragma once

#include <windows.h>

enum class FileChoice { Chosen, Cancelled, Failed };

// Shows the dialog over the editor state's path and file-name buffers, which
// keep the last choice for the next dialog. On Failed the user has been told.
FileChoice AskForFile(HWND owner, const char* title, DWORD flags);
