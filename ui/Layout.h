// The main window's controls: the fixed strip at the top and the per-kind
// field slots below it.
#pragma once

#include <windows.h>

// Creates the fixed controls and the fields of the first kind.
void CreateFixedControls(HWND window);

// Destroys the field slots and creates those of the kind selected in the
// type combobox, empty.
void RebuildFields(HWND window);
