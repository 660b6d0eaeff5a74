// Prints how long Select problem takes to open its dialog with every line of
// a large set, and what one Add costs as the set grows. Figures only: the
// run checks nothing.
#include "model/ProblemFields.h"
#include "model/ProblemList.h"
#include "tests/gui/harness/GuiHarness.h"
#include "tests/gui/harness/ModalAnswerer.h"
#include "ui/Identifiers.h"
#include "ui/MainWindow.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kTopLevelProblems = 10000;
constexpr int kBranchesEach = 2;
// Under Wine each Add costs some milliseconds, nearly all of it in emptying
// the visible multi-line question field; a few hundred show the trend.
constexpr int kAddBlock = 200;

double seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The dialog is activated once WM_INITDIALOG has filled the list. A CBT hook
// sees only such rare events; a hook on every message would cost more than
// the filling itself under Wine.
double dialogActivatedAt = 0;

LRESULT CALLBACK onCbtEvent(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && dialogActivatedAt == 0)
        dialogActivatedAt = seconds();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void fillMixedSet(int topLevelProblems)
{
    problemList.clear();
    for (int i = 0; i < topLevelProblems; ++i) {
        const int kind = i % 6;
        const std::string name = "問題" + std::to_string(i);
        ProblemPtr problem = createProblem(kind, {name, "答え"});
        for (int b = 0; b < kBranchesEach; ++b)
            problem->addBranch(createProblem((kind + b + 1) % 6, {name + "の枝" + std::to_string(b)}));
        problemList.push_back(problem);
    }
}

void measureSelect(HWND window)
{
    dialogActivatedAt = 0;
    HHOOK hook = SetWindowsHookExA(WH_CBT, onCbtEvent, nullptr, GetCurrentThreadId());
    long lines = 0;
    ModalAnswerer answerer(60000);
    answerer.then(inspectThenPress(
        [&](HWND dialog) { lines = static_cast<long>(SendDlgItemMessageA(dialog, IDC_SELECTION_LIST, LB_GETCOUNT, 0, 0)); },
        IDCANCEL));
    const double start = seconds();
    sendCommand(window, ID_EDIT_SELECT_PROBLEM);
    const double closed = seconds();
    UnhookWindowsHookEx(hook);
    std::printf("select problem: %ld lines, dialog open and filled after %.3f s (closed after %.3f s)\n", lines,
                dialogActivatedAt - start, closed - start);
}

// One block of Adds of an ox problem typed into its two fields.
void measureAdds(HWND window)
{
    const std::size_t before = problemList.size();
    HWND question = GetDlgItem(window, IDC_FIELD_FIRST + 1);
    HWND answer = GetDlgItem(window, IDC_FIELD_FIRST + 3);
    double adding = 0;
    for (int i = 0; i < kAddBlock; ++i) {
        SetWindowTextA(question, "追加の問題");
        SetWindowTextA(answer, "答え");
        const double start = seconds();
        sendCommand(window, IDC_ADD_BUTTON);
        adding += seconds() - start;
    }
    std::printf("add: %zu top-level problems before, %.1f us per Add over %d\n", before,
                adding * 1e6 / kAddBlock, kAddBlock);
}

} // namespace

int main()
{
    HWND window = CreateMainWindow(GetModuleHandleA(nullptr));
    if (!window) {
        std::printf("no main window\n");
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    pumpMessages();

    measureAdds(window);
    measureAdds(window);

    fillMixedSet(kTopLevelProblems);
    for (int run = 0; run < 3; ++run)
        measureSelect(window);
    measureAdds(window);

    fillMixedSet(10 * kTopLevelProblems);
    measureAdds(window);

    SendMessageA(window, WM_CLOSE, 0, 0);
    pumpMessages();
    return 0;
}
