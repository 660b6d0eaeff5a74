// Driving the editor as a user would: choosing a kind, typing into the
// fields, pressing the buttons and menu items, and picking a line in the
// selection dialog. Everything is read back from the real windows.
#pragma once

#include "model/Problem.h"
#include "tests/gui/harness/GuiHarness.h"

#include <source_location>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// Field slots (the control of slot i has id IDC_FIELD_FIRST + i). Written
// out here rather than taken from the program: they are what the tests
// check it against.
constexpr int kQuestionLabelSlot = 0;
constexpr int kQuestionSlot = 1;
constexpr int kAnswerLabelSlot = 2;
constexpr int kAnswerSlot = 3;
constexpr int kDummyLabelSlot = 4;
constexpr int kFirstDummySlot = 5; // three wrong choices
constexpr int kHintLabelSlot = 8;
constexpr int kFirstHintSlot = 9; // four hints, in place of the question
constexpr int kPanelLabelSlot = 13;
constexpr int kFirstPanelSlot = 14; // ten panels
constexpr int kReelLabelSlot = 24;
constexpr int kFirstReelSlot = 25; // six reels

// The edit slots of each kind, in the order the editor reads them.
std::vector<int> textSlotsOf(int kind);

HWND fieldControl(HWND window, int slot);
void typeInto(HWND window, int slot, const std::string& text,
              std::source_location where = std::source_location::current());

// The texts of the kind's edit fields, in reading order.
Lines fieldTexts(HWND window, int kind, std::source_location where = std::source_location::current());

std::string problemLabel(HWND window);

// Selects the kind in the combobox as the user does: the selection, then
// its change notification.
void chooseKind(HWND window, int kind, std::source_location where = std::source_location::current());
int shownKind(HWND window);

void pressAdd(HWND window, std::source_location where = std::source_location::current());
void pressBranch(HWND window, std::source_location where = std::source_location::current());
void chooseNewProblem(HWND window, std::source_location where = std::source_location::current());

// Opens Select problem, reads the dialog's lines and cancels it.
Lines selectionLines(HWND window, std::source_location where = std::source_location::current());

// Opens Select problem and picks the line with OK. Fatal when the dialog
// does not open once: wrap the call in ASSERT_NO_FATAL_FAILURE.
void selectLine(HWND window, int line, std::source_location where = std::source_location::current());

// Types the text into the question field (the first hint for 連想) and
// presses Add: where the new text shows up tells where Add put it.
void addProbe(HWND window, const std::string& text, std::source_location where = std::source_location::current());
