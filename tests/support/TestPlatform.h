#pragma once

// What the tests need to know about the system they run on.

#include <QtGlobal>

#include "WindowsApi.h"

// True when the Windows build runs under Wine, whose system functions differ from Windows' in a
// few places the tests touch (say which, where a test is skipped for it).
inline bool RunningUnderWine() {
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}
