// The commands that compose problems in memory: Add, Branch, New problem and
// Select problem. Their editing context is editorState.editTarget (the
// problem the next Add overwrites) and editorState.branchParent (the
// top-level problem the next new problem goes under).
#pragma once

#include <windows.h>

void OnAdd(HWND window);
void OnBranch(HWND window);
void OnNewProblem(HWND window);
void OnSelectProblem(HWND window);
