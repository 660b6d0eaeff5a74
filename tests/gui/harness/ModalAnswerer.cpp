#include "tests/gui/harness/ModalAnswerer.h"

#include "tests/gui/harness/GuiHarness.h"

#include <algorithm>

namespace {

// Message boxes show their text in a static control of this identifier.
constexpr int kMessageBoxTextId = 0xFFFF;
// The file dialog's name field: the combobox cmb13 in Wine's Explorer-style
// dialog, the edit edt1 in the older ones.
constexpr int kFileNameComboId = 0x47C;
constexpr int kFileNameEditId = 0x480;

ModalAnswerer* activeAnswerer = nullptr;

// Cancel as the user would, so that the dialog's own procedure decides what
// its caller gets: EndDialog(IDCANCEL) would hand the selection dialog's
// caller "line 2", and the file dialog's a chosen file.
void cancel(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

struct ThreadDialogs {
    std::vector<HWND> found;
};

BOOL CALLBACK collectDialog(HWND window, LPARAM lParam)
{
    if (IsWindowVisible(window) && IsWindowEnabled(window) && windowClass(window) == "#32770")
        reinterpret_cast<ThreadDialogs*>(lParam)->found.push_back(window);
    return TRUE;
}

} // namespace

ModalAnswerer::ModalAnswerer(DWORD watchdogMs) : timeoutMs(watchdogMs)
{
    activeAnswerer = this;
    timer = SetTimer(nullptr, 0, 25, onTimer);
}

ModalAnswerer::~ModalAnswerer()
{
    KillTimer(nullptr, timer);
    activeAnswerer = nullptr;
}

ModalAnswerer& ModalAnswerer::then(Action action)
{
    actions.push_back(std::move(action));
    return *this;
}

void CALLBACK ModalAnswerer::onTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (activeAnswerer)
        activeAnswerer->poll();
}

bool ModalAnswerer::known(HWND dialog) const
{
    return std::any_of(windows.begin(), windows.end(), [&](const ModalWindow& w) { return w.window == dialog; });
}

// A dialog is answered only once it has been on screen for a moment: the
// file dialog is visible before it has finished filling its fields, and
// would overwrite a name typed too early.
bool ModalAnswerer::settled(HWND dialog, ULONGLONG now)
{
    constexpr ULONGLONG kSettleMs = 150;
    auto seenAt = std::find_if(arriving.begin(), arriving.end(), [&](const auto& a) { return a.first == dialog; });
    if (seenAt == arriving.end()) {
        arriving.emplace_back(dialog, now);
        return false;
    }
    if (now - seenAt->second < kSettleMs)
        return false;
    arriving.erase(seenAt);
    return true;
}

void ModalAnswerer::poll()
{
    const ULONGLONG now = GetTickCount64();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        ModalWindow& w = windows[i];
        if (!IsWindow(w.window) || now - openedAt[i] <= timeoutMs)
            continue;
        if (!w.timedOut) {
            w.timedOut = true;
            cancel(w.window);
        } else if (now - openedAt[i] > 2 * timeoutMs) {
            EndDialog(w.window, IDCANCEL); // it ignored Cancel
        }
    }

    ThreadDialogs dialogs;
    EnumThreadWindows(GetCurrentThreadId(), collectDialog, reinterpret_cast<LPARAM>(&dialogs));
    for (HWND dialog : dialogs.found) {
        if (known(dialog) || !settled(dialog, now))
            continue;
        ModalWindow w;
        w.window = dialog;
        w.caption = windowText(dialog);
        if (HWND text = GetDlgItem(dialog, kMessageBoxTextId))
            w.text = windowText(text);
        w.answered = next < actions.size();
        windows.push_back(w);
        openedAt.push_back(now);
        if (w.answered)
            actions[next++](dialog);
        else
            cancel(dialog); // nobody expected it: close it like Escape
    }
}

HWND fileNameField(HWND dialog)
{
    HWND combo = GetDlgItem(dialog, kFileNameComboId);
    return combo ? combo : GetDlgItem(dialog, kFileNameEditId);
}

ModalAnswerer::Action pressButton(int id)
{
    return [id](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    };
}

ModalAnswerer::Action chooseFile(std::string path)
{
    return [path](HWND dialog) {
        SetWindowTextA(fileNameField(dialog), path.c_str());
        pressButton(IDOK)(dialog);
    };
}

ModalAnswerer::Action inspectThenPress(std::function<void(HWND dialog)> inspect, int id)
{
    return [inspect, id](HWND dialog) {
        inspect(dialog);
        pressButton(id)(dialog);
    };
}
