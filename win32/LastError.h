// The error of the last Win32 call, for the rooms that report it as an
// HRESULT.
#pragma once

#include <windows.h>

// The last Win32 error as an HRESULT that is never a success code.
inline HRESULT lastErrorResult()
{
    const DWORD error = GetLastError();
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}
