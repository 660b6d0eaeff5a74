// Answers the modal windows (message boxes, dialog boxes, file dialogs) that
// the code under test opens on this thread, as a user would: each new one
// gets the next queued action. A thread timer finds them from inside their
// own modal loops; a watchdog ends any that stays open, so no test hangs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct ModalWindow {
    HWND window = nullptr;
    std::string caption;
    std::string text; // a message box's message; empty for other dialogs
    bool answered = false; // false: no action was queued for it
    bool timedOut = false; // the watchdog had to end it
};

class ModalAnswerer {
public:
    using Action = std::function<void(HWND dialog)>;

    explicit ModalAnswerer(DWORD timeoutMs = 20000);
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // Queues the action for the next modal window that opens.
    ModalAnswerer& then(Action action);

    const std::vector<ModalWindow>& seen() const { return windows; }
    std::size_t pendingActions() const { return actions.size() - next; }

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    void poll();
    bool known(HWND dialog) const;
    bool settled(HWND dialog, ULONGLONG now);

    DWORD timeoutMs;
    std::vector<Action> actions;
    std::size_t next = 0;
    std::vector<ModalWindow> windows;
    std::vector<ULONGLONG> openedAt; // GetTickCount64
    std::vector<std::pair<HWND, ULONGLONG>> arriving; // seen, not yet answered
    UINT_PTR timer = 0;
};

// The name field of a file dialog.
HWND fileNameField(HWND dialog);

// Actions.
ModalAnswerer::Action pressButton(int id);
// Types the path into the file dialog's name field and presses OK.
ModalAnswerer::Action chooseFile(std::string path);
// Reads what the dialog shows before pressing the button.
ModalAnswerer::Action inspectThenPress(std::function<void(HWND dialog)> inspect, int id);
