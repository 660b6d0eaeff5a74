#include "tests/gui/EditorDriver.h"

#include "tests/gui/harness/ModalAnswerer.h"
#include "ui/Identifiers.h"

namespace {

constexpr int kKindCount = 6;

// Written out here rather than taken from the program: they are what the
// tests check it against.
const std::vector<int> kTextSlots[kKindCount] = {
    {1, 3},
    {1, 3, 5, 6, 7},
    {9, 10, 11, 12, 3, 5, 6, 7},
    {1, 3},
    {1, 3, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23},
    {1, 3, 25, 26, 27, 28, 29, 30},
};

HWND typeCombo(HWND window)
{
    return GetDlgItem(window, IDC_TYPE_COMBO);
}

// Runs Select problem with one action for its dialog, which must open once.
void runSelection(HWND window, ModalAnswerer::Action action)
{
    ModalAnswerer answerer;
    answerer.then(std::move(action));
    sendCommand(window, ID_EDIT_SELECT_PROBLEM);
    pumpMessages();
    ASSERT_EQ(answerer.seen().size(), 1u) << "the selection dialog did not open once";
    EXPECT_TRUE(answerer.seen()[0].answered);
    EXPECT_FALSE(answerer.seen()[0].timedOut);
}

} // namespace

std::vector<int> textSlotsOf(int kind)
{
    return kTextSlots[kind];
}

HWND fieldControl(HWND window, int slot)
{
    return GetDlgItem(window, IDC_FIELD_FIRST + slot);
}

void typeInto(HWND window, int slot, const std::string& text)
{
    HWND field = fieldControl(window, slot);
    ASSERT_NE(field, nullptr) << "no field in slot " << slot;
    SetWindowTextA(field, text.c_str());
}

Lines fieldTexts(HWND window, int kind)
{
    Lines texts;
    for (int slot : kTextSlots[kind]) {
        HWND field = fieldControl(window, slot);
        texts.push_back(field ? windowText(field) : "<no field " + std::to_string(slot) + ">");
    }
    return texts;
}

std::string problemLabel(HWND window)
{
    return windowText(GetDlgItem(window, IDC_PROBLEM_LABEL));
}

void chooseKind(HWND window, int kind)
{
    SendMessageA(typeCombo(window), CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_TYPE_COMBO, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(typeCombo(window)));
    pumpMessages();
}

int shownKind(HWND window)
{
    return static_cast<int>(SendMessageA(typeCombo(window), CB_GETCURSEL, 0, 0));
}

void pressAdd(HWND window)
{
    sendCommand(window, IDC_ADD_BUTTON, BN_CLICKED);
    pumpMessages();
}

void pressBranch(HWND window)
{
    sendCommand(window, IDC_BRANCH_BUTTON, BN_CLICKED);
    pumpMessages();
}

void chooseNewProblem(HWND window)
{
    sendCommand(window, ID_EDIT_NEW_PROBLEM);
    pumpMessages();
}

Lines selectionLines(HWND window)
{
    Lines lines;
    runSelection(window, inspectThenPress(
                             [&](HWND dialog) { lines = listBoxLines(GetDlgItem(dialog, IDC_SELECTION_LIST)); },
                             IDCANCEL));
    return lines;
}

void selectLine(HWND window, int line)
{
    runSelection(window, inspectThenPress(
                             [line](HWND dialog) {
                                 SendMessageA(GetDlgItem(dialog, IDC_SELECTION_LIST), LB_SETCURSEL,
                                              static_cast<WPARAM>(line), 0);
                             },
                             IDOK));
}

void addProbe(HWND window, const std::string& text)
{
    typeInto(window, kTextSlots[shownKind(window)].front(), text);
    pressAdd(window);
}
