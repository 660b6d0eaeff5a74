// The modal dialog that lists every top-level problem, each followed by its
// branches, one line each, so that the user can pick one for editing.
#pragma once

#include <windows.h>

// Shows the dialog over the owner and returns the index of the chosen line,
// or -1 when the user cancelled, closed it or chose no line. Lines are the
// top-level problems in list order, each followed by its direct branches.
int RunProblemSelectionDialog(HWND owner);
