#pragma once

// The Windows API, included once for every file that needs it: without the min/max macros and the
// rarely used parts, and without the Yield macro (a toolkit service here). Also whether it is Wine's.
#include <QtGlobal>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#undef Yield
#endif

// True when the Windows build runs under Wine, whose system functions differ from Windows' in a
// few places (each says which where it is asked).
inline bool RunningUnderWine() {
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}
