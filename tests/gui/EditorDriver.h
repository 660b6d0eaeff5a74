// Driving the editor as a user would: choosing a kind, typing into the
// fields, pressing the buttons and menu items, and picking a line in the
// selection dialog. Everything is read back from the real windows.
#pragma once

#include "tests/gui/harness/GuiHarness.h"

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// The edit slots of each kind, in the order the editor reads them.
std::vector<int> textSlotsOf(int kind);

HWND fieldControl(HWND window, int slot);
void typeInto(HWND window, int slot, const std::string& text);

// The texts of the kind's edit fields, in reading order.
Lines fieldTexts(HWND window, int kind);

std::string problemLabel(HWND window);

// Selects the kind in the combobox as the user does: the selection, then
// its change notification.
void chooseKind(HWND window, int kind);
int shownKind(HWND window);

void pressAdd(HWND window);
void pressBranch(HWND window);
void chooseNewProblem(HWND window);

// Opens Select problem, reads the dialog's lines and cancels it.
Lines selectionLines(HWND window);

// Opens Select problem and picks the line with OK.
void selectLine(HWND window, int line);

// Types the text into the question field (the first hint for 連想) and
// presses Add: where the new text shows up tells where Add put it.
void addProbe(HWND window, const std::string& text);
