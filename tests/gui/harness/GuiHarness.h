// Reading and driving the real main window from inside the test process.
// Every text goes through the ANSI functions, so tests compare Shift-JIS bytes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <source_location>
#include <string>
#include <vector>

// Helpers that drive or check take the caller's place as their last
// parameter, `std::source_location where = std::source_location::current()`,
// and open this trace first, so that a failure inside them names the test's
// line:  const auto trace = calledFrom(where);
//
// A helper stops with ASSERT only for a step that the rest of a test builds
// on (picking a line, starting the program); each call of such a helper is
// wrapped in ASSERT_NO_FATAL_FAILURE, so that the test stops there too. All
// other helpers report with EXPECT or ADD_FAILURE and return, and the test
// goes on to show what else is wrong.
[[nodiscard]] inline testing::ScopedTrace calledFrom(const std::source_location& where)
{
    // Returned as a prvalue: the trace is neither copied nor moved.
    return testing::ScopedTrace(where.file_name(), static_cast<int>(where.line()), "called from here");
}

// Dispatches every pending message, a few rounds, before the screen is read.
void pumpMessages();

std::string windowText(HWND window);
std::string windowClass(HWND window);
LONG windowStyle(HWND window);

// The window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND window);

// The lines of a list box; read them on the list box's own thread (inside a
// ModalAnswerer action for a dialog's list).
std::vector<std::string> listBoxLines(HWND listBox);

struct MenuEntry {
    UINT id = 0;
    std::string caption;
    bool separator = false;
    std::vector<MenuEntry> items; // of a pop-up
};
std::vector<MenuEntry> readMenu(HMENU menu);

// Sends WM_COMMAND as a menu item, button or notification would.
LRESULT sendCommand(HWND window, WORD id, WORD notification = 0);

// Every test gets a fresh main window and an empty problem list.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND window = nullptr;
};
