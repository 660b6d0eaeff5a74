#include "tests/gui/EditorDriver.h"
#include "ui/Identifiers.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr LONG kPlain = 0x50000000;
constexpr LONG kDropDownList = 0x50000003;
// Edit controls drop WS_BORDER from their style word: compared without it.
constexpr LONG kMultiLineEdit = 0x50B000C4 & ~WS_BORDER;
constexpr LONG kLineEdit = 0x50800000 & ~WS_BORDER;

struct Expected {
    int id;
    const char* className;
    std::string text;
    RECT rect; // left, top, right, bottom
    LONG style;
};

RECT box(int x, int y, int width, int height)
{
    return {x, y, x + width, y + height};
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

void expectControl(HWND control, const Expected& expected, std::source_location where = std::source_location::current())
{
    const auto trace = calledFrom(where);
    SCOPED_TRACE("control " + std::to_string(expected.id));
    if (!control) {
        ADD_FAILURE() << "no control";
        return;
    }
    EXPECT_EQ(GetDlgCtrlID(control), expected.id);
    EXPECT_EQ(lower(windowClass(control)), lower(expected.className));
    EXPECT_EQ(windowText(control), expected.text);
    const RECT rect = rectInParent(control);
    EXPECT_EQ(rect.left, expected.rect.left);
    EXPECT_EQ(rect.top, expected.rect.top);
    EXPECT_EQ(rect.right, expected.rect.right);
    EXPECT_EQ(rect.bottom, expected.rect.bottom);
    LONG style = windowStyle(control);
    if (lower(expected.className) == "edit")
        style &= ~WS_BORDER;
    EXPECT_EQ(style, expected.style) << std::hex << style << " expected " << expected.style;
}

Expected label(int slot, const char* text, int y)
{
    return {IDC_FIELD_FIRST + slot, "STATIC", text, box(0, y, 60, 30), kPlain};
}

Expected lineEdit(int slot, int x, int y, int width)
{
    return {IDC_FIELD_FIRST + slot, "EDIT", "", box(x, y, width, 30), kLineEdit};
}

std::vector<Expected> questionAndAnswer()
{
    return {
        label(0, "問題", 70),
        {IDC_FIELD_FIRST + 1, "EDIT", "", box(60, 70, 580, 120), kMultiLineEdit},
        label(2, "答え", 200),
        lineEdit(3, 60, 200, 580),
    };
}

std::vector<Expected> wrongChoices()
{
    return {label(4, "選択肢", 230), lineEdit(5, 60, 230, 580), lineEdit(6, 60, 260, 580), lineEdit(7, 60, 290, 580)};
}

template <typename... Parts>
std::vector<Expected> joined(Parts... parts)
{
    std::vector<Expected> all;
    (all.insert(all.end(), parts.begin(), parts.end()), ...);
    return all;
}

// The field slots of each kind, in creation order.
std::vector<Expected> fieldsOf(int kind)
{
    switch (kind) {
    case YONTAKU: return joined(questionAndAnswer(), wrongChoices());
    case RENSOU:
        return joined(std::vector<Expected>{label(8, "ヒント", 70), lineEdit(9, 60, 70, 580),
                                            lineEdit(10, 60, 100, 580), lineEdit(11, 60, 130, 580),
                                            lineEdit(12, 60, 160, 580), label(2, "答え", 200),
                                            lineEdit(3, 60, 200, 580)},
                      wrongChoices());
    case PANEL: {
        std::vector<Expected> panels{label(13, "パネル", 230)};
        for (int i = 0; i < 10; ++i)
            panels.push_back(lineEdit(14 + i, 60 + 40 * (i % 5), 230 + 30 * (i / 5), 30));
        return joined(questionAndAnswer(), panels);
    }
    case SLOT: {
        std::vector<Expected> reels{label(24, "リール", 230)};
        for (int i = 0; i < 6; ++i)
            reels.push_back(lineEdit(25 + i, 60, 230 + 30 * i, 580));
        return joined(questionAndAnswer(), reels);
    }
    default: return questionAndAnswer(); // OX and NARABEKAE
    }
}

// The window's children in creation (z) order.
std::vector<HWND> children(HWND window)
{
    std::vector<HWND> found;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        found.push_back(child);
    return found;
}

std::vector<HWND> fieldChildren(HWND window)
{
    std::vector<HWND> fields;
    for (HWND child : children(window)) {
        const int id = GetDlgCtrlID(child);
        if (id >= IDC_FIELD_FIRST && id <= IDC_FIELD_LAST)
            fields.push_back(child);
    }
    return fields;
}

void expectFieldsOf(HWND window, int kind, std::source_location where = std::source_location::current())
{
    const auto trace = calledFrom(where);
    SCOPED_TRACE("kind " + std::to_string(kind));
    const std::vector<Expected> expected = fieldsOf(kind);
    const std::vector<HWND> fields = fieldChildren(window);
    EXPECT_EQ(fields.size(), expected.size());
    for (std::size_t i = 0; i < expected.size() && i < fields.size(); ++i)
        expectControl(fields[i], expected[i]);
}

using Layout = MainWindowTest;

TEST_F(Layout, FixedControlsHaveTheirClassTextRectangleAndStyle)
{
    const Expected fixed[] = {
        {IDC_FILE_LABEL, "STATIC", "編集中のファイル:新規ファイル", box(0, 0, 640, 20), kPlain},
        {IDC_PROBLEM_LABEL, "STATIC", "編集中の問題:新規問題", box(0, 20, 640, 20), kPlain},
        {IDC_TYPE_LABEL, "STATIC", "問題タイプ", box(0, 40, 100, 30), kPlain},
        {IDC_ADD_BUTTON, "BUTTON", "追加", box(400, 40, 60, 30), kPlain},
        {IDC_BRANCH_BUTTON, "BUTTON", "分岐", box(470, 40, 60, 30), kPlain},
    };
    for (const Expected& control : fixed)
        expectControl(GetDlgItem(window, control.id), control);
    // The colon is the one-byte ASCII one.
    EXPECT_NE(problemLabel(window).find("問題:"), std::string::npos);
}

TEST_F(Layout, TypeComboboxListsTheSixKindsAndShowsTheFirst)
{
    HWND combo = GetDlgItem(window, IDC_TYPE_COMBO);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(lower(windowClass(combo)), "combobox");
    EXPECT_EQ(windowStyle(combo) & 0xFFFF000F, kDropDownList) << std::hex << windowStyle(combo);
    const RECT rect = rectInParent(combo);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 300);
    // The 400 pixels include the drop-down list, which ends at most 400 below
    // the top (the window system may trim it to whole items).
    RECT dropped{};
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&dropped), 2);
    EXPECT_LE(dropped.bottom, 440);
    EXPECT_GT(dropped.bottom, 400);

    const char* const kinds[] = {"ox", "四択", "連想", "並べ替え", "文字パネル", "スロット"};
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 6);
    for (int i = 0; i < 6; ++i) {
        char item[64] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, kinds[i]) << "item " << i;
    }
    EXPECT_EQ(shownKind(window), OX);
    EXPECT_EQ(windowText(combo), "ox");
}

TEST_F(Layout, ControlsAreCreatedInTheirOrderWithTheFirstKindsFieldsBeforeTheButtons)
{
    std::vector<int> ids;
    for (HWND child : children(window))
        ids.push_back(GetDlgCtrlID(child));
    const std::vector<int> expected{IDC_FILE_LABEL,      IDC_PROBLEM_LABEL,   IDC_TYPE_LABEL,
                                    IDC_TYPE_COMBO,      IDC_FIELD_FIRST + 0, IDC_FIELD_FIRST + 1,
                                    IDC_FIELD_FIRST + 2, IDC_FIELD_FIRST + 3, IDC_ADD_BUTTON,
                                    IDC_BRANCH_BUTTON};
    EXPECT_EQ(ids, expected);
}

TEST_F(Layout, EveryKindShowsItsFieldsEmptyInCreationOrder)
{
    expectFieldsOf(window, OX);
    for (int kind : {YONTAKU, RENSOU, NARABEKAE, PANEL, SLOT, OX, RENSOU}) {
        chooseKind(window, kind);
        expectFieldsOf(window, kind);
    }
}

TEST_F(Layout, ChoosingAKindAgainEmptiesItsFields)
{
    chooseKind(window, RENSOU);
    for (int slot : textSlotsOf(RENSOU))
        typeInto(window, slot, "typed");
    chooseKind(window, YONTAKU);
    chooseKind(window, RENSOU);
    EXPECT_EQ(fieldTexts(window, RENSOU), Lines(8, ""));

    typeInto(window, kFirstHintSlot, "typed");
    chooseKind(window, RENSOU);
    EXPECT_EQ(fieldTexts(window, RENSOU), Lines(8, ""));
}

TEST_F(Layout, OtherComboboxNotificationsChangeNothing)
{
    typeInto(window, kQuestionSlot, "typed");
    HWND question = fieldControl(window, kQuestionSlot);
    for (WORD notification : {CBN_DROPDOWN, CBN_CLOSEUP, CBN_SETFOCUS, CBN_KILLFOCUS, CBN_SELENDOK})
        sendCommand(window, IDC_TYPE_COMBO, notification);
    pumpMessages();
    EXPECT_EQ(fieldControl(window, kQuestionSlot), question);
    EXPECT_EQ(windowText(question), "typed");
}

TEST_F(Layout, NoKindSelectedShowsNoFields)
{
    chooseKind(window, -1);
    EXPECT_TRUE(fieldChildren(window).empty());
    // The buttons then do nothing.
    pressAdd(window);
    pressBranch(window);
    EXPECT_EQ(problemLabel(window), "編集中の問題:新規問題");
    chooseKind(window, OX);
    EXPECT_TRUE(selectionLines(window).empty());
}

TEST_F(Layout, ALineFieldTakesNoMoreTypingThanItsWidthShows)
{
    chooseKind(window, PANEL);
    HWND panel = fieldControl(window, kFirstPanelSlot);
    for (int i = 0; i < 20; ++i)
        SendMessageA(panel, WM_CHAR, 'W', 0);
    const std::string typed = windowText(panel);
    EXPECT_GT(typed.size(), 0u);
    EXPECT_LT(typed.size(), 20u);

    // The question field scrolls instead.
    HWND question = fieldControl(window, kQuestionSlot);
    for (int i = 0; i < 200; ++i)
        SendMessageA(question, WM_CHAR, 'W', 0);
    EXPECT_EQ(windowText(question).size(), 200u);
}

TEST_F(Layout, LabelsPaintOnWhiteWithAHollowBrush)
{
    HDC context = CreateCompatibleDC(nullptr);
    SetBkColor(context, RGB(0, 0, 0));
    const LRESULT brush = SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                                       reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_TYPE_LABEL)));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkColor(context), RGB(255, 255, 255));
    DeleteDC(context);
}

TEST_F(Layout, TheProblemLabelIsReplacedByANewWindowInTheSamePlace)
{
    HWND before = GetDlgItem(window, IDC_PROBLEM_LABEL);
    typeInto(window, kQuestionSlot, "親");
    pressBranch(window);
    HWND after = GetDlgItem(window, IDC_PROBLEM_LABEL);
    EXPECT_FALSE(IsWindow(before));
    expectControl(after, {IDC_PROBLEM_LABEL, "STATIC", "分岐前の問題:親", box(0, 20, 640, 20), kPlain});
    int labels = 0;
    for (HWND child : children(window))
        labels += GetDlgCtrlID(child) == IDC_PROBLEM_LABEL;
    EXPECT_EQ(labels, 1);
}

} // namespace
