// The Windows headers for the class library's Win32 back end, without the macros that would
// rename the library's own members (DrawText, TextOut): the A functions are called by name.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#undef DrawText
#undef TextOut
#undef LoadBitmap
