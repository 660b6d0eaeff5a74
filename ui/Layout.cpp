#include "ui/Layout.h"

#include "document/EditingContext.h"
#include "model/ProblemKinds.h"
#include "ui/EditorState.h"
#include "ui/Identifiers.h"

#include <stdexcept>

namespace {

constexpr DWORD kPlain = WS_CHILD | WS_VISIBLE;
constexpr DWORD kDropDownList = kPlain | CBS_DROPDOWNLIST;
constexpr DWORD kMultiLineEdit =
    kPlain | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
// No ES_AUTOHSCROLL: the user types no further than the field is wide.
constexpr DWORD kLineEdit = kPlain | WS_BORDER;
static_assert(kPlain == 0x50000000 && kDropDownList == 0x50000003);
static_assert(kMultiLineEdit == 0x50B000C4 && kLineEdit == 0x50800000);

struct Box {
    int x, y, width, height;
};

// Labels are created empty and given their text afterwards; buttons get
// theirs at creation.
struct FixedControl {
    int id;
    const char* className;
    const char* text;
    Box box;
    DWORD style;
};

// In creation order. The combobox's 400 pixels include its drop-down list.
const FixedControl kFixedControls[] = {
    {IDC_FILE_LABEL, "STATIC", kNewFileLabelText, {0, 0, 640, 20}, kPlain},
    {IDC_PROBLEM_LABEL, "STATIC", kFreshProblemLabel, {0, 20, 640, 20}, kPlain},
    {IDC_TYPE_LABEL, "STATIC", "問題タイプ", {0, 40, 100, 30}, kPlain},
    {IDC_TYPE_COMBO, "COMBOBOX", nullptr, {100, 40, 200, 400}, kDropDownList},
    {IDC_ADD_BUTTON, "BUTTON", "追加", {400, 40, 60, 30}, kPlain},
    {IDC_BRANCH_BUTTON, "BUTTON", "分岐", {470, 40, 60, 30}, kPlain},
};

// Slot i has control identifier IDC_FIELD_FIRST + i. A field's label slot
// (kFieldLayout) is a "STATIC" with the field's label, any other an "EDIT".
struct FieldSlot {
    Box box;
    DWORD style;
};

const FieldSlot kFieldSlots[FIELD_SLOT_COUNT] = {
    {{0, 70, 60, 30}, kPlain},             // 0 question label
    {{60, 70, 580, 120}, kMultiLineEdit},  // 1 question
    {{0, 200, 60, 30}, kPlain},            // 2 answer label
    {{60, 200, 580, 30}, kLineEdit},       // 3 answer
    {{0, 230, 60, 30}, kPlain},            // 4 wrong choices label
    {{60, 230, 580, 30}, kLineEdit},       // 5 wrong choices 1-3
    {{60, 260, 580, 30}, kLineEdit},       // 6
    {{60, 290, 580, 30}, kLineEdit},       // 7
    {{0, 70, 60, 30}, kPlain},             // 8 hints label
    {{60, 70, 580, 30}, kLineEdit},        // 9 hints 1-4
    {{60, 100, 580, 30}, kLineEdit},       // 10
    {{60, 130, 580, 30}, kLineEdit},       // 11
    {{60, 160, 580, 30}, kLineEdit},       // 12
    {{0, 230, 60, 30}, kPlain},            // 13 panels label
    {{60, 230, 30, 30}, kLineEdit},        // 14 panels 1-5
    {{100, 230, 30, 30}, kLineEdit},       // 15
    {{140, 230, 30, 30}, kLineEdit},       // 16
    {{180, 230, 30, 30}, kLineEdit},       // 17
    {{220, 230, 30, 30}, kLineEdit},       // 18
    {{60, 260, 30, 30}, kLineEdit},        // 19 panels 6-10
    {{100, 260, 30, 30}, kLineEdit},       // 20
    {{140, 260, 30, 30}, kLineEdit},       // 21
    {{180, 260, 30, 30}, kLineEdit},       // 22
    {{220, 260, 30, 30}, kLineEdit},       // 23
    {{0, 230, 60, 30}, kPlain},            // 24 reels label
    {{60, 230, 580, 30}, kLineEdit},       // 25 reels 1-6
    {{60, 260, 580, 30}, kLineEdit},       // 26
    {{60, 290, 580, 30}, kLineEdit},       // 27
    {{60, 320, 580, 30}, kLineEdit},       // 28
    {{60, 350, 580, 30}, kLineEdit},       // 29
    {{60, 380, 580, 30}, kLineEdit},       // 30
};

// Where each field is shown: its label's slot, then one edit slot per text.
// A kind shows its fields in field order, so its edit slots in creation
// order are also its field order. The association kind has no question:
// its hints take the question's place at the top.
struct FieldSlots {
    Field field;
    int labelSlot;
    std::vector<int> textSlots;
};

const FieldSlots kFieldLayout[] = {
    {Field::Question, 0, {1}},
    {Field::Answer, 2, {3}},
    {Field::Dummy, 4, {5, 6, 7}},
    {Field::Hint, 8, {9, 10, 11, 12}},
    {Field::Panel, 13, {14, 15, 16, 17, 18, 19, 20, 21, 22, 23}},
    {Field::Reel, 24, {25, 26, 27, 28, 29, 30}},
};

// The label of the field whose label slot this is; null for an edit slot.
const char* labelOfSlot(int slot)
{
    for (const FieldSlots& slots : kFieldLayout)
        if (slots.labelSlot == slot)
            return fieldInfo(slots.field).label;
    return nullptr;
}

const FieldSlots& slotsOf(Field field)
{
    for (const FieldSlots& slots : kFieldLayout)
        if (slots.field == field)
            return slots;
    throw std::logic_error("a field without a place in the window");
}

// The slots of a kind in creation order; the text slots alone, or with the
// label before each field's texts.
std::vector<int> kindSlots(int kind, bool withLabels)
{
    std::vector<int> slots;
    const ProblemKind* found = findKind(kind);
    if (!found)
        return slots;
    for (const FieldGroup& group : found->fields) {
        const FieldSlots& field = slotsOf(group.field);
        if (group.count > field.textSlots.size())
            throw std::logic_error("a field with more texts than the window has places for");
        if (withLabels)
            slots.push_back(field.labelSlot);
        slots.insert(slots.end(), field.textSlots.begin(),
                     field.textSlots.begin() + static_cast<std::ptrdiff_t>(group.count));
    }
    return slots;
}

HINSTANCE instanceOf(HWND window)
{
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

HWND createControl(HWND window, int id, const char* className, const char* text, Box box, DWORD style)
{
    return CreateWindowExA(0, className, text, style, box.x, box.y, box.width, box.height, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instanceOf(window), nullptr);
}

HWND createLabel(HWND window, int id, const char* text, Box box)
{
    HWND label = createControl(window, id, "STATIC", nullptr, box, kPlain);
    SetWindowTextA(label, text);
    return label;
}

HWND createFixedControl(HWND window, const FixedControl& control)
{
    if (std::string(control.className) == "STATIC")
        return createLabel(window, control.id, control.text, control.box);
    return createControl(window, control.id, control.className, control.text, control.box, control.style);
}

HWND createFieldSlot(HWND window, int slot)
{
    const FieldSlot& field = kFieldSlots[slot];
    const int id = IDC_FIELD_FIRST + slot;
    if (const char* label = labelOfSlot(slot))
        return createLabel(window, id, label, field.box);
    return createControl(window, id, "EDIT", nullptr, field.box, field.style);
}

// The kinds, the first of them selected and its fields shown.
void fillTypeCombo(HWND window, HWND combo)
{
    for (const ProblemKind& kind : problemKinds())
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind.comboText));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_TYPE_COMBO, CBN_SELCHANGE), 0);
}

const FixedControl& fixedControl(int id)
{
    for (const FixedControl& control : kFixedControls) {
        if (control.id == id)
            return control;
    }
    return kFixedControls[0];
}

// Found again by identifier: the old label goes, a new one takes its place.
void replaceLabel(HWND window, int id, const std::string& text, int height)
{
    const FixedControl& label = fixedControl(id);
    if (HWND old = GetDlgItem(window, id))
        DestroyWindow(old);
    const Box box{label.box.x, label.box.y, label.box.width, height};
    createLabel(window, id, text.c_str(), box);
}

} // namespace

void CreateFixedControls(HWND window)
{
    for (const FixedControl& control : kFixedControls) {
        HWND created = createFixedControl(window, control);
        if (!created)
            throw std::runtime_error("a control of the main window could not be created");
        if (control.id == IDC_TYPE_COMBO) {
            editorState.typeCombo = created;
            fillTypeCombo(window, created);
        }
    }
}

void RebuildFields(HWND window)
{
    for (int id = IDC_FIELD_FIRST; id <= IDC_FIELD_LAST; ++id) {
        if (HWND field = GetDlgItem(window, id))
            DestroyWindow(field);
    }
    for (int slot : kindSlots(SelectedKind(), true))
        editorState.fieldControls[static_cast<std::size_t>(slot)] = createFieldSlot(window, slot);
}

int SelectedKind()
{
    return static_cast<int>(SendMessageA(editorState.typeCombo, CB_GETCURSEL, 0, 0));
}

std::vector<int> TextSlots(int kind)
{
    return kindSlots(kind, false);
}

void ReplaceProblemLabel(HWND window, const std::string& text)
{
    replaceLabel(window, IDC_PROBLEM_LABEL, text, fixedControl(IDC_PROBLEM_LABEL).box.height);
}

void ReplaceFileLabel(HWND window, const std::string& text, int height)
{
    replaceLabel(window, IDC_FILE_LABEL, text, height);
}
