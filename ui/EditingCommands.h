// The commands that compose problems in memory: Add, Branch, New problem and
// Select problem. The editing context (editorState.editing) decides what
// each does to the problem list; these read and fill the fields, replace
// the problem label and show the messages.
#pragma once

#include <windows.h>

void OnAdd(HWND window);
void OnBranch(HWND window);
void OnNewProblem(HWND window);
void OnSelectProblem(HWND window);
