// The error of the last failed Win32 call, for code that reports HRESULTs.
// Windows only.
#pragma once

#include <windows.h>

// The last Win32 error as an HRESULT that is never a success code: a call
// that failed without setting one is still a failure.
inline HRESULT lastErrorResult()
{
    const DWORD error = GetLastError();
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}
