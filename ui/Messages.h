// The one way the editor reports a failure: a modal box captioned "エラー".
#pragma once

#include <windows.h>

void ShowError(HWND owner, const char* text);
