// Shows the main window with the fields of one kind filled with sample texts,
// for the screenshots of the field layouts in docs/. Not a test. Under the
// Wine session of a build:
//   LayoutShot.exe KIND   (0-5) prints the window's screen rectangle and
// stays open for 10 seconds, long enough for `import -window root`.
#include "tests/gui/EditorDriver.h"
#include "ui/MainWindow.h"

#include <cstdio>
#include <cstdlib>

namespace {

const Lines kSamples[] = {
    {"富士山は日本で一番高い山である。", "○"},
    {"日本で一番長い川は？", "信濃川", "利根川", "石狩川", "北上川"},
    {"赤い", "丸い", "甘い", "秋が旬", "りんご", "みかん", "ぶどう", "もも"},
    {"次の文字を並べ替えて都道府県名にしなさい。", "かながわ"},
    {"文字パネルから答えを作りなさい：東京の旧名", "えど", "え", "ど", "か", "み", "や", "お", "さ", "き", "し", "ま"},
    {"スロットを揃えて答えなさい：日本の首都", "とうきょう", "と", "う", "き", "ょ", "う", "ー"},
};

} // namespace

int main(int argc, char** argv)
{
    const int kind = argc > 1 ? std::atoi(argv[1]) : 0;
    if (kind < 0 || kind > 5)
        return 2;
    HWND window = CreateMainWindow(GetModuleHandleA(nullptr));
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOW);
    chooseKind(window, kind);
    const std::vector<int> slots = textSlotsOf(kind);
    for (std::size_t i = 0; i < slots.size(); ++i)
        typeInto(window, slots[i], kSamples[kind][i]);
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
    std::fflush(stdout);
    SetTimer(window, 1, 10000, [](HWND w, UINT, UINT_PTR, DWORD) { DestroyWindow(w); });
    return RunMessageLoop();
}
