#include "model/ProblemFields.h"
#include "model/ProblemList.h"
#include "tests/gui/harness/GuiHarness.h"
#include "ui/EditorState.h"
#include "ui/Identifiers.h"
#include "ui/MainWindow.h"

#include <algorithm>

namespace {

TEST(Environment, TheAnsiCodePageIsShiftJis)
{
    // Everything else compares Shift-JIS bytes read through the A functions.
    EXPECT_EQ(GetACP(), 932u);
}

using MainWindow = MainWindowTest;

TEST_F(MainWindow, HasItsClassCaptionAndFixedStyle)
{
    EXPECT_EQ(windowClass(window), "ZIBMain");
    EXPECT_EQ(windowText(window), "ZIB");
    const LONG style = windowStyle(window);
    EXPECT_EQ(style & 0xFFFF0000L & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0xCA0000L) << std::hex << style;
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
}

TEST_F(MainWindow, ClientAreaHasRoomForBothScrollBars)
{
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 640 + GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(client.bottom - client.top, 480 + GetSystemMetrics(SM_CYHSCROLL));
    EXPECT_FALSE(windowStyle(window) & (WS_VSCROLL | WS_HSCROLL));
}

TEST_F(MainWindow, MenuHasThreePopupsWithTheirCaptionsAndIdentifiers)
{
    const std::vector<MenuEntry> bar = readMenu(GetMenu(window));
    ASSERT_EQ(bar.size(), 3u);

    EXPECT_EQ(bar[0].caption, "\x83\x74\x83\x40\x83\x43\x83\x8b(&F)"); // ファイル(&F)
    EXPECT_EQ(bar[0].id, 0u);
    ASSERT_EQ(bar[0].items.size(), 6u);
    const std::pair<const char*, UINT> file[] = {
        {"新規作成(&N)", 1}, {"ファイルを開く(&O)", 2}, {"上書き保存(&S)", 3},
        {"名前を付けて保存(&A)", 4}, {"", 0}, {"終了(&X)", 5},
    };
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bar[0].items[i].caption, file[i].first);
        EXPECT_EQ(bar[0].items[i].id, file[i].second);
        EXPECT_EQ(bar[0].items[i].separator, i == 4);
    }

    EXPECT_EQ(bar[1].caption, "編集(&E)");
    EXPECT_EQ(bar[1].id, 100u);
    ASSERT_EQ(bar[1].items.size(), 2u);
    EXPECT_EQ(bar[1].items[0].caption, "新規問題(N)");
    EXPECT_EQ(bar[1].items[0].id, 101u);
    EXPECT_EQ(bar[1].items[1].caption, "問題選択(&S)");
    EXPECT_EQ(bar[1].items[1].id, 102u);

    EXPECT_EQ(bar[2].caption, "ヘルプ(&H)");
    EXPECT_EQ(bar[2].id, 200u);
    ASSERT_EQ(bar[2].items.size(), 1u);
    EXPECT_EQ(bar[2].items[0].caption, "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1(&A)");
    EXPECT_EQ(bar[2].items[0].id, 201u);
}

// A new main window starts from the initial state, whatever the window
// before it left (the GUI tests make one after another). The empty set at
// start is checked on the program itself (Program below).
TEST_F(MainWindow, StartsWithAnEmptyDocumentAndNoFile)
{
    SendMessageA(window, WM_CLOSE, 0, 0);
    pumpMessages();
    ProblemPtr parent = createProblem(OX, {"親", "答"});
    parent->addBranch(createProblem(OX, {"枝", "答"}));
    problemList = {parent};
    editorState.editing.select(1);
    ASSERT_NE(editorState.editing.editTarget(), nullptr);
    editorState.filePath = "C:\\old.xml";
    editorState.fileTitle = "old.xml";
    editorState.pathBuffer[0] = 'C';
    editorState.fileNameBuffer[0] = 'o';

    window = CreateMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(editorState.filePath.empty());
    EXPECT_TRUE(editorState.fileTitle.empty());
    EXPECT_EQ(editorState.editing.editTarget(), nullptr);
    EXPECT_EQ(editorState.editing.branchParent(), nullptr);
    EXPECT_EQ(editorState.pathBuffer[0], '\0');
    EXPECT_EQ(editorState.fileNameBuffer[0], '\0');
    EXPECT_EQ(editorState.menu, GetMenu(window));
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_FILE_LABEL)), "編集中のファイル:新規ファイル");
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_PROBLEM_LABEL)), "編集中の問題:新規問題");
}

// What a user could see of the window: every child's class, id and text.
std::vector<std::string> visibleState(HWND window)
{
    std::vector<std::string> state{windowText(window)};
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        state.push_back(windowClass(child) + "#" + std::to_string(GetDlgCtrlID(child)) + ":" + windowText(child));
    return state;
}

TEST_F(MainWindow, UnknownCommandsYieldZeroAndChangeNothing)
{
    const std::vector<std::string> before = visibleState(window);
    EXPECT_EQ(sendCommand(window, 12345), 0);
    EXPECT_EQ(sendCommand(window, IDC_FIELD_FIRST + 1, EN_CHANGE), 0);
    EXPECT_EQ(sendCommand(window, 0), 0);
    pumpMessages();
    EXPECT_EQ(visibleState(window), before);
    EXPECT_TRUE(problemList.empty());
    EXPECT_TRUE(editorState.filePath.empty());
}

TEST_F(MainWindow, CloseDestroysMenuAndWindowAndEndsTheLoopWithZero)
{
    HMENU menu = GetMenu(window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_EQ(editorState.menu, nullptr);
}

// The program itself, in a process of its own.
class Program : public ::testing::Test {
protected:
    void start(const char* unixPath = ZIB_EXE_PATH, std::source_location where = std::source_location::current())
    {
        const auto trace = calledFrom(where);
        // The build's path is a Unix one; Wine shows the root as drive Z:.
        std::string path = std::string("Z:") + unixPath;
        std::replace(path.begin(), path.end(), '/', '\\');
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process))
            << path << " error " << GetLastError();
        WaitForInputIdle(process.hProcess, 10000);
    }

    bool ofTheProcess(HWND window) const
    {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == process.dwProcessId;
    }

    // The process's top-level windows of the class, shown or not.
    std::vector<HWND> windowsOfClass(const char* className) const
    {
        std::vector<HWND> found;
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, className, nullptr)))
            if (ofTheProcess(window))
                found.push_back(window);
        return found;
    }

    // Waits for a shown window of the class that answers messages: the
    // window may be found while it is still being built.
    HWND findShown(const char* className) const
    {
        for (int tries = 0; tries < 200; ++tries) {
            for (HWND window : windowsOfClass(className)) {
                DWORD_PTR answer = 0;
                if (IsWindowVisible(window) &&
                    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer))
                    return window;
            }
            Sleep(50);
        }
        return nullptr;
    }

    HWND findMainWindow() const { return findShown("ZIBMain"); }
    // A dialog box or message box of the program.
    HWND findDialog() const { return findShown("#32770"); }

    DWORD waitForExit()
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    void TearDown() override
    {
        if (process.hProcess) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process.hProcess, 99);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }

    PROCESS_INFORMATION process{};
};

TEST_F(Program, ShowsTheMainWindowAndExitsWithZeroOnClose)
{
    ASSERT_NO_FATAL_FAILURE(start());
    HWND window = findMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowText(window), "ZIB");
    EXPECT_NE(GetMenu(window), nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(waitForExit(), 0u);
}

TEST_F(Program, ExitFromTheMenuEndsWithZero)
{
    ASSERT_NO_FATAL_FAILURE(start());
    HWND window = findMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    EXPECT_EQ(waitForExit(), 0u);
}

// Select problem lists what the program holds: nothing, in a new run.
TEST_F(Program, StartsWithAnEmptySetAndNoFile)
{
    ASSERT_NO_FATAL_FAILURE(start());
    HWND window = findMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_FILE_LABEL)), "編集中のファイル:新規ファイル");

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(ID_EDIT_SELECT_PROBLEM, 0), 0);
    HWND dialog = findDialog();
    ASSERT_NE(dialog, nullptr) << "the selection dialog did not open";
    HWND list = GetDlgItem(dialog, IDC_SELECTION_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(waitForExit(), 0u);
}

// Built without its resource script, the program cannot load its menu: the
// window is not created, the user is told, and the run ends with 1. The box
// stays until answered: the failed window ends no message loop.
TEST_F(Program, WithoutItsMenuSaysTheWindowCouldNotBeCreatedAndExitsWithOne)
{
    ASSERT_NO_FATAL_FAILURE(start(ZIB_WITHOUT_RESOURCES_PATH));
    HWND box = findDialog();
    ASSERT_NE(box, nullptr) << "no message box; exit code " << waitForExit();
    EXPECT_EQ(windowText(box), "エラー");
    // Message boxes show their text in a static control of this identifier.
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), "ウィンドウの作成に失敗しました");
    EXPECT_TRUE(windowsOfClass("ZIBMain").empty());

    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(waitForExit(), 1u);
}

} // namespace
