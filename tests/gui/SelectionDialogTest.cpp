#include "model/ProblemFields.h"
#include "model/ProblemList.h"
#include "tests/gui/EditorDriver.h"
#include "tests/gui/harness/ModalAnswerer.h"
#include "ui/Identifiers.h"
#include "ui/ProblemSelectionDialog.h"

#include <algorithm>
#include <functional>

namespace {

ProblemPtr ox(const std::string& question)
{
    return createProblem(OX, {question, "答"});
}

ProblemPtr rensou(const std::string& firstHint)
{
    return createProblem(RENSOU, {firstHint, "ヒ2", "ヒ3", "ヒ4", "答"});
}

HWND listOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_SELECTION_LIST);
}

class SelectionDialog : public MainWindowTest {
protected:
    // Opens the dialog and runs the action inside it, once it is open.
    int run(ModalAnswerer::Action action, std::source_location where = std::source_location::current())
    {
        const auto trace = calledFrom(where);
        ModalAnswerer answerer;
        answerer.then(std::move(action));
        const int result = RunProblemSelectionDialog(window);
        EXPECT_EQ(answerer.seen().size(), 1u);
        for (const ModalWindow& seen : answerer.seen())
            EXPECT_FALSE(seen.timedOut);
        return result;
    }

    Lines linesShown(std::source_location where = std::source_location::current())
    {
        Lines lines;
        run(inspectThenPress([&](HWND dialog) { lines = listBoxLines(listOf(dialog)); }, IDCANCEL), where);
        return lines;
    }

    // Selects the line, then lets `finish` end the dialog.
    int chooseLine(int line, std::function<void(HWND dialog)> finish,
                   std::source_location where = std::source_location::current())
    {
        return run(
            [line, finish](HWND dialog) {
                SendMessageA(listOf(dialog), LB_SETCURSEL, static_cast<WPARAM>(line), 0);
                finish(dialog);
            },
            where);
    }
};

void pressKey(HWND dialog, WPARAM key)
{
    // The dialog manager's own loop turns the key into a command.
    HWND focus = GetFocus();
    PostMessageA(focus ? focus : dialog, WM_KEYDOWN, key, 0);
}

TEST_F(SelectionDialog, ListsEveryProblemFollowedByItsBranches)
{
    ProblemPtr first = ox("一問目");
    first->addBranch(ox("枝1"));
    first->addBranch(createProblem(YONTAKU, {"枝2", "答"}));
    problemList = {first, createProblem(YONTAKU, {"二問目"})};
    const Lines expected{"【ox】一問目", " ┗枝1", " ┗枝2", "【四択】二問目"};
    EXPECT_EQ(linesShown(), expected);
    EXPECT_EQ(chooseLine(3, pressButton(IDOK)), 3);
    EXPECT_EQ(chooseLine(1, pressButton(IDOK)), 1);
}

TEST_F(SelectionDialog, LinesCarryTheKindLabelAndTheNamingTextAsShiftJisBytes)
{
    ProblemPtr parent = ox("");
    parent->addBranch(rensou("枝ヒント"));
    problemList = {parent, rensou("最初のヒント"), createProblem(NARABEKAE, {"並"}), createProblem(PANEL, {"パ"}),
                   createProblem(SLOT, {"ス"})};
    const Lines lines = linesShown();
    const Lines expected{"【ox】", " ┗枝ヒント", "【連想】最初のヒント", "【並替】並", "【パネ】パ", "【スロ】ス"};
    EXPECT_EQ(lines, expected);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "\x81\x79" "ox" "\x81\x7a");
    EXPECT_EQ(lines[1].substr(0, 3), "\x20\x84\xaf");
}

TEST_F(SelectionDialog, AProblemOfAnUnknownKindStillTakesALine)
{
    // The model takes any tag; lines must stay aligned with the problems.
    ProblemPtr unknown = std::make_shared<ProblemOX>(7, "見えない", "答");
    unknown->addBranch(std::make_shared<ProblemOX>(-1, "枝", "答"));
    problemList = {unknown, ox("後")};
    const Lines expected{"", " ┗", "【ox】後"};
    EXPECT_EQ(linesShown(), expected);
    EXPECT_EQ(chooseLine(2, pressButton(IDOK)), 2);
}

TEST_F(SelectionDialog, BranchesOfBranchesAreNotListed)
{
    ProblemPtr branch = ox("枝");
    branch->addBranch(ox("孫"));
    ProblemPtr parent = ox("親");
    parent->addBranch(branch);
    problemList = {parent};
    const Lines expected{"【ox】親", " ┗枝"};
    EXPECT_EQ(linesShown(), expected);
}

TEST_F(SelectionDialog, EveryWayOutButOkWithALineGivesMinusOne)
{
    problemList = {ox("一"), ox("二")};
    EXPECT_EQ(run(pressButton(IDOK)), -1) << "OK without a line";
    EXPECT_EQ(chooseLine(1, pressButton(IDCANCEL)), -1) << "Cancel";
    EXPECT_EQ(chooseLine(1, [](HWND dialog) { pressKey(dialog, VK_ESCAPE); }), -1) << "Escape";
    EXPECT_EQ(chooseLine(1, [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }), -1)
        << "close box";
    EXPECT_EQ(chooseLine(1, [](HWND dialog) { pressKey(dialog, VK_RETURN); }), 1) << "Enter";
}

TEST_F(SelectionDialog, AnEmptyListGivesMinusOneOnOk)
{
    EXPECT_TRUE(linesShown().empty());
    EXPECT_EQ(run(pressButton(IDOK)), -1);
}

TEST_F(SelectionDialog, ADoubleClickOnlySelectsTheLine)
{
    problemList = {ox("一"), ox("二"), ox("三")};
    const int result = run([](HWND dialog) {
        HWND list = listOf(dialog);
        RECT item{};
        SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM(item.left + 5, item.top + 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
        // Had the double click ended the dialog, it would end with line 1.
        SendMessageA(list, LB_SETCURSEL, 2, 0);
        pressButton(IDOK)(dialog);
    });
    EXPECT_EQ(result, 2);
}

TEST_F(SelectionDialog, EachOpeningShowsTheCurrentProblems)
{
    problemList = {ox("一")};
    EXPECT_EQ(linesShown(), Lines{"【ox】一"});
    problemList.push_back(ox("二"));
    problemList.front()->addBranch(ox("枝"));
    const Lines expected{"【ox】一", " ┗枝", "【ox】二"};
    EXPECT_EQ(linesShown(), expected);
}

// The template's sizes are dialog units of its font.
RECT dialogUnits(HWND dialog, int x, int y, int width, int height)
{
    RECT rect{x, y, x + width, y + height};
    MapDialogRect(dialog, &rect);
    return rect;
}

void expectRect(RECT actual, RECT expected, std::source_location where = std::source_location::current())
{
    const auto trace = calledFrom(where);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

struct DialogLook {
    std::string caption;
    LONG style = 0, exStyle = 0;
    POINT origin{};
    RECT client{}, expectedClient{};
    bool ownerEnabled = true;
};

// Position 0, 0 places the dialog's client area on the owner's: it is not
// centred.
TEST_F(SelectionDialog, OpensAtTheOwnersClientOriginWithItsTemplatesStyleAndSize)
{
    DialogLook look;
    run(inspectThenPress(
        [&](HWND dialog) {
            look.caption = windowText(dialog);
            look.style = windowStyle(dialog);
            look.exStyle = GetWindowLongA(dialog, GWL_EXSTYLE);
            ClientToScreen(dialog, &look.origin);
            GetClientRect(dialog, &look.client);
            look.expectedClient = dialogUnits(dialog, 0, 0, 200, 100);
            look.ownerEnabled = IsWindowEnabled(GetWindow(dialog, GW_OWNER));
        },
        IDCANCEL));
    EXPECT_EQ(look.caption, "");
    const LONG style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK;
    EXPECT_EQ(look.style & style, style) << std::hex << look.style;
    EXPECT_EQ(look.exStyle & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE), WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    POINT ownerOrigin{0, 0};
    ClientToScreen(window, &ownerOrigin);
    EXPECT_EQ(look.origin.x, ownerOrigin.x);
    EXPECT_EQ(look.origin.y, ownerOrigin.y);
    expectRect(look.client, look.expectedClient);
    EXPECT_FALSE(look.ownerEnabled) << "the main window takes no input while the dialog is open";
}

struct ControlLook {
    std::string className, text;
    LONG style = 0, exStyle = 0;
    RECT rect{}, expected{};
};

ControlLook lookAt(HWND control, RECT expected)
{
    return {windowClass(control), windowText(control), windowStyle(control), GetWindowLongA(control, GWL_EXSTYLE),
            rectInParent(control), expected};
}

TEST_F(SelectionDialog, HasOkAndCancelButtonsAndTheListBoxBesideThem)
{
    ControlLook ok, cancel, list;
    HFONT listFont = reinterpret_cast<HFONT>(1);
    problemList = {ox("一")};
    run(inspectThenPress(
        [&](HWND dialog) {
            ok = lookAt(GetDlgItem(dialog, IDOK), dialogUnits(dialog, 150, 5, 40, 20));
            cancel = lookAt(GetDlgItem(dialog, IDCANCEL), dialogUnits(dialog, 150, 30, 40, 20));
            list = lookAt(listOf(dialog), RECT{5, 5, 295, 185}); // pixels, not dialog units
            listFont = reinterpret_cast<HFONT>(SendMessageA(listOf(dialog), WM_GETFONT, 0, 0));
        },
        IDCANCEL));

    EXPECT_EQ(ok.text, "OK");
    EXPECT_EQ(cancel.text, "キャンセル");
    for (const ControlLook* button : {&ok, &cancel}) {
        EXPECT_STRCASEEQ(button->className.c_str(), "Button");
        EXPECT_EQ(button->style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP), WS_CHILD | WS_VISIBLE | WS_TABSTOP);
        EXPECT_TRUE(button->exStyle & WS_EX_NOPARENTNOTIFY);
        expectRect(button->rect, button->expected);
    }
    EXPECT_EQ(ok.style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(cancel.style & BS_TYPEMASK, BS_PUSHBUTTON);

    EXPECT_STRCASEEQ(list.className.c_str(), "ListBox");
    EXPECT_EQ(list.text, "");
    EXPECT_EQ(list.style & (WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY), WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY);
    EXPECT_FALSE(list.style & (LBS_SORT | WS_TABSTOP)) << std::hex << list.style;
    EXPECT_EQ(list.exStyle & ~WS_EX_NOPARENTNOTIFY, 0) << std::hex << list.exStyle;
    EXPECT_EQ(list.rect.left, 5);
    EXPECT_EQ(list.rect.top, 5);
    EXPECT_EQ(list.rect.right, 295);
    // Without LBS_NOINTEGRALHEIGHT the list is cut to whole lines.
    EXPECT_LE(list.rect.bottom, 185);
    EXPECT_GT(list.rect.bottom, 150);
    EXPECT_EQ(listFont, nullptr) << "no font is set on the list";
}

TEST_F(SelectionDialog, ItsFontHasJapaneseGlyphs)
{
    LOGFONTA font{};
    int missingGlyphs = -1;
    run(inspectThenPress(
        [&](HWND dialog) {
            HFONT handle = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
            GetObjectA(handle, sizeof font, &font);
            HDC context = GetDC(dialog);
            HGDIOBJ old = SelectObject(context, handle);
            const wchar_t text[] = L"キャンセル問題";
            WORD glyphs[7] = {};
            GetGlyphIndicesW(context, text, 7, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
            missingGlyphs = static_cast<int>(std::count(std::begin(glyphs), std::end(glyphs), 0xFFFF));
            SelectObject(context, old);
            ReleaseDC(dialog, context);
        },
        IDCANCEL));
    EXPECT_STREQ(font.lfFaceName, "MS UI Gothic");
    EXPECT_EQ(missingGlyphs, 0);
}

} // namespace
