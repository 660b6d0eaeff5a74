#include "tests/gui/EditorDriver.h"

#include "tests/gui/harness/ModalAnswerer.h"
#include "ui/Identifiers.h"

namespace {

// `count` slots from `first` on.
std::vector<int> consecutive(int first, int count)
{
    std::vector<int> slots;
    for (int i = 0; i < count; ++i)
        slots.push_back(first + i);
    return slots;
}

std::vector<int> joined(std::vector<int> front, const std::vector<int>& back)
{
    front.insert(front.end(), back.begin(), back.end());
    return front;
}

const std::vector<int> kQuestionAndAnswer = {kQuestionSlot, kAnswerSlot};

const std::vector<int> kTextSlots[kProblemTypeCount] = {
    kQuestionAndAnswer,                                          // OX
    joined(kQuestionAndAnswer, consecutive(kFirstDummySlot, 3)), // YONTAKU
    joined(joined(consecutive(kFirstHintSlot, 4), {kAnswerSlot}), consecutive(kFirstDummySlot, 3)), // RENSOU
    kQuestionAndAnswer,                                          // NARABEKAE
    joined(kQuestionAndAnswer, consecutive(kFirstPanelSlot, 10)), // PANEL
    joined(kQuestionAndAnswer, consecutive(kFirstReelSlot, 6)),   // SLOT
};

HWND typeCombo(HWND window)
{
    return GetDlgItem(window, IDC_TYPE_COMBO);
}

// Runs Select problem with one action for its dialog, which must open once
// and be answered by the action.
testing::AssertionResult runSelection(HWND window, ModalAnswerer::Action action)
{
    ModalAnswerer answerer;
    answerer.then(std::move(action));
    sendCommand(window, ID_EDIT_SELECT_PROBLEM);
    pumpMessages();
    if (answerer.seen().size() != 1)
        return testing::AssertionFailure() << "the selection dialog opened " << answerer.seen().size() << " times";
    if (!answerer.seen()[0].answered)
        return testing::AssertionFailure() << "the selection dialog was not answered";
    if (answerer.seen()[0].timedOut)
        return testing::AssertionFailure() << "the selection dialog stayed open until the watchdog closed it";
    return testing::AssertionSuccess();
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

void typeInto(HWND window, int slot, const std::string& text, std::source_location where)
{
    const auto trace = calledFrom(where);
    HWND field = fieldControl(window, slot);
    if (!field) {
        ADD_FAILURE() << "no field in slot " << slot;
        return;
    }
    SetWindowTextA(field, text.c_str());
}

Lines fieldTexts(HWND window, int kind, std::source_location where)
{
    const auto trace = calledFrom(where);
    Lines texts;
    if (kind < 0 || kind >= kProblemTypeCount) {
        ADD_FAILURE() << "no kind " << kind;
        return texts;
    }
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

void chooseKind(HWND window, int kind, std::source_location where)
{
    const auto trace = calledFrom(where);
    SendMessageA(typeCombo(window), CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_TYPE_COMBO, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(typeCombo(window)));
    pumpMessages();
}

int shownKind(HWND window)
{
    return static_cast<int>(SendMessageA(typeCombo(window), CB_GETCURSEL, 0, 0));
}

void pressAdd(HWND window, std::source_location where)
{
    const auto trace = calledFrom(where);
    sendCommand(window, IDC_ADD_BUTTON, BN_CLICKED);
    pumpMessages();
}

void pressBranch(HWND window, std::source_location where)
{
    const auto trace = calledFrom(where);
    sendCommand(window, IDC_BRANCH_BUTTON, BN_CLICKED);
    pumpMessages();
}

void chooseNewProblem(HWND window, std::source_location where)
{
    const auto trace = calledFrom(where);
    sendCommand(window, ID_EDIT_NEW_PROBLEM);
    pumpMessages();
}

Lines selectionLines(HWND window, std::source_location where)
{
    const auto trace = calledFrom(where);
    Lines lines;
    EXPECT_TRUE(runSelection(
        window, inspectThenPress([&](HWND dialog) { lines = listBoxLines(GetDlgItem(dialog, IDC_SELECTION_LIST)); },
                                 IDCANCEL)));
    return lines;
}

void selectLine(HWND window, int line, std::source_location where)
{
    const auto trace = calledFrom(where);
    ASSERT_TRUE(runSelection(window, inspectThenPress(
                                         [line](HWND dialog) {
                                             SendMessageA(GetDlgItem(dialog, IDC_SELECTION_LIST), LB_SETCURSEL,
                                                          static_cast<WPARAM>(line), 0);
                                         },
                                         IDOK)));
}

void addProbe(HWND window, const std::string& text, std::source_location where)
{
    const auto trace = calledFrom(where);
    const int kind = shownKind(window);
    if (kind < 0 || kind >= kProblemTypeCount) {
        ADD_FAILURE() << "no kind shown";
        return;
    }
    typeInto(window, kTextSlots[kind].front(), text);
    pressAdd(window);
}
