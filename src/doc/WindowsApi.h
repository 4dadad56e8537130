#pragma once

// The Windows API, included once for every file that needs it: without the min/max macros and the
// rarely used parts, and without the Yield macro (a toolkit service here).
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
