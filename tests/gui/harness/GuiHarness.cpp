#include "tests/gui/harness/GuiHarness.h"

#include "model/ProblemList.h"
#include "ui/MainWindow.h"

void pumpMessages()
{
    for (int round = 0; round < 3; ++round) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                continue; // the window under test is gone; nothing to end
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(1);
    }
}

std::string windowText(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
    return text;
}

std::string windowClass(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

LONG windowStyle(HWND window)
{
    return GetWindowLongA(window, GWL_STYLE);
}

std::vector<std::string> listBoxLines(HWND listBox)
{
    std::vector<std::string> lines;
    const LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // Room for two bytes a character, whichever unit the length counts.
        const auto length = static_cast<std::size_t>(SendMessageA(listBox, LB_GETTEXTLEN, i, 0));
        std::string line(2 * length + 1, '\0');
        const LRESULT copied = SendMessageA(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
        lines.push_back(line);
    }
    return lines;
}

RECT rectInParent(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<MenuEntry> readMenu(HMENU menu)
{
    std::vector<MenuEntry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char caption[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = caption;
        info.cch = sizeof caption;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        MenuEntry entry;
        entry.id = info.wID;
        entry.separator = (info.fType & MFT_SEPARATOR) != 0;
        entry.caption = entry.separator ? "" : caption;
        if (info.hSubMenu)
            entry.items = readMenu(info.hSubMenu);
        entries.push_back(entry);
    }
    return entries;
}

LRESULT sendCommand(HWND window, WORD id, WORD notification)
{
    return SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, notification), 0);
}

void MainWindowTest::SetUp()
{
    problemList.clear();
    window = CreateMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(window, nullptr) << "error " << GetLastError();
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    pumpMessages();
}

void MainWindowTest::TearDown()
{
    if (window && IsWindow(window))
        SendMessageA(window, WM_CLOSE, 0, 0);
    pumpMessages();
    problemList.clear();
}
