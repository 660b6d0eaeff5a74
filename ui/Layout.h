// The main window's controls: the fixed strip at the top and the per-kind
// field slots below it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What the file label shows before anything is opened or saved.
inline constexpr char kNewFileLabelText[] = "編集中のファイル:新規ファイル";

// Height of the file label after a file was opened or saved; 20 before.
constexpr int kNamedFileLabelHeight = 30;
constexpr int kNewFileLabelHeight = 20;

// Creates the fixed controls and the fields of the first kind; throws when a
// fixed control cannot be created.
void CreateFixedControls(HWND window);

// Destroys the field slots and creates those of the kind selected in the
// type combobox, empty.
void RebuildFields(HWND window);

// The type combobox selection: a kind tag 0-5, or -1 when none is selected.
int SelectedKind();

// The edit slots of a kind in field order (the order of getFields); empty
// for a tag of no kind.
std::vector<int> TextSlots(int kind);

// A status label is replaced rather than given a new text, so that the new
// text is never painted over the old one.
void ReplaceProblemLabel(HWND window, const std::string& text);
void ReplaceFileLabel(HWND window, const std::string& text, int height);
