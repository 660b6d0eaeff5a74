// Reading and driving the real main window from inside the test process.
// Every text goes through the ANSI functions, so tests compare Shift-JIS bytes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
