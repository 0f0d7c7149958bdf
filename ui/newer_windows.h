// The calls of Windows after XP that the program takes where the system has them, looked
// up by name while it runs: nothing else names them. Each is null where the system lacks
// it, and the caller takes the classic call instead (ui/dpi.cpp).
#pragma once

#include <windows.h>

namespace quendral::newer_windows {

struct Calls {
    // Windows 10 1607 on: each window's DPI, and the system's sizes and fonts at any DPI.
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    UINT(WINAPI* dpiForSystem)() = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    int(WINAPI* systemMetricsForDpi)(int, UINT) = nullptr;
    BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
    // Windows 8.1 to 10 1511: each monitor's DPI (shcore), looked up only where
    // dpiForWindow is missing.
    HRESULT(WINAPI* dpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
};

// Those this system has, looked up on the first call.
const Calls& Available();

}  // namespace quendral::newer_windows
