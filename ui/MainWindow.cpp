#include "ui/MainWindow.h"

#include "ui/Commands.h"
#include "ui/EditorState.h"
#include "ui/Identifiers.h"
#include "ui/Layout.h"

EditorState editorState;

namespace {

const char kClassName[] = "ZIBMain";
const char kCaption[] = "ZIB";
// WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX: fixed size, no maximise.
constexpr DWORD kMainWindowStyle = 0xCA0000;
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;

// The client area keeps room for both scroll bars, which it never shows.
SIZE outerWindowSize()
{
    RECT rect{0, 0, kClientWidth + GetSystemMetrics(SM_CXVSCROLL),
              kClientHeight + GetSystemMetrics(SM_CYHSCROLL)};
    AdjustWindowRect(&rect, kMainWindowStyle, TRUE);
    OffsetRect(&rect, -rect.left, -rect.top);
    return {rect.right, rect.bottom};
}

bool registerMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageA(nullptr, IDI_APPLICATION, IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = static_cast<HCURSOR>(
        LoadImageA(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kClassName;
    // A later window of the same run (the GUI tests make many) reuses the class.
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// -1 fails the window's creation: the menu cannot be loaded or a control
// cannot be built (that throws). A window goes with its menu and children.
LRESULT onCreate(HWND window)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MENU));
    if (!menu)
        return -1;
    if (!SetMenu(window, menu)) {
        DestroyMenu(menu);
        return -1;
    }
    editorState.menu = menu;
    CreateFixedControls(window);
    editorState.created = true;
    return 0;
}

// Only a window that was built ends the run: when creation fails, the entry
// point still has to tell the user, and a quit message would close that box.
LRESULT onDestroy()
{
    if (editorState.created)
        PostQuitMessage(0);
    editorState.menu = nullptr;
    return 0;
}

LRESULT onClose(HWND window)
{
    SetMenu(window, nullptr);
    DestroyMenu(editorState.menu);
    editorState.menu = nullptr;
    return DefWindowProcA(window, WM_CLOSE, 0, 0);
}

// Labels show on the white window background.
LRESULT onColorStatic(HDC context)
{
    SetBkColor(context, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

LRESULT dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return onCreate(window);
    case WM_CLOSE: return onClose(window);
    case WM_DESTROY: return onDestroy();
    case WM_CTLCOLORSTATIC: return onColorStatic(reinterpret_cast<HDC>(wParam));
    case WM_COMMAND: return OnCommand(window, LOWORD(wParam), HIWORD(wParam));
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

HWND CreateMainWindow(HINSTANCE instance)
{
    // One main window per run; a new one starts from the initial state.
    editorState = EditorState{};
    if (!registerMainWindowClass(instance))
        return nullptr;
    const SIZE size = outerWindowSize();
    return CreateWindowExA(0, kClassName, kCaption, kMainWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                           size.cy, nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No exception may unwind into the window system: a command that fails
    // half-way (out of memory) is abandoned and the window stays usable; a
    // window that cannot be built is not created.
    try {
        return dispatch(window, message, wParam, lParam);
    } catch (...) {
        return message == WM_CREATE ? -1 : 0;
    }
}

int RunMessageLoop()
{
    MSG message{};
    for (;;) {
        const BOOL fetched = GetMessageA(&message, nullptr, 0, 0);
        if (fetched == 0)
            return static_cast<int>(message.wParam);
        if (fetched == -1)
            return 1;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
