#include "ui/Messages.h"

void ShowError(HWND owner, const char* text)
{
    MessageBoxA(owner, text, "エラー", MB_OK);
}
