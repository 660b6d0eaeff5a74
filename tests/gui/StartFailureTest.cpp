// The main window in a test program built without the resource script: its
// menu cannot be loaded, so the window cannot be built.
#include "tests/gui/harness/GuiHarness.h"
#include "ui/MainWindow.h"

#include <vector>

namespace {

BOOL CALLBACK collectWindow(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The windows of this thread; other test programs run beside this one.
std::vector<HWND> threadWindows()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(StartFailure, WithoutItsMenuNoWindowIsLeftAndNoQuitIsPosted)
{
    EXPECT_EQ(CreateMainWindow(GetModuleHandleA(nullptr)), nullptr);
    EXPECT_TRUE(threadWindows().empty());
    // A quit message would close the box that tells the user at once. (Wine
    // 8 sends no WM_DESTROY to a window whose WM_CREATE failed, only
    // WM_NCDESTROY; Windows sends both.)
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "exit code " << message.wParam;
}

} // namespace
