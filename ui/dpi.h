// The window's DPI and the system's sizes and fonts at it: Windows 10 1607's and 8.1's
// calls where the system has them (ui/newer_windows.h), else the classic call's answer scaled.
#pragma once

#include <windows.h>

#include <optional>

namespace quendral::dpi {

// WM_DPICHANGED, which Windows 8.1 and later send a per-monitor-aware window when its
// DPI changes; older systems never send it.
inline constexpr UINT kDpiChangedMessage = 0x02E0;
inline constexpr int kDefault = 96;

// The DPI of the screen as a whole, that of the main monitor at log-on.
int System();

// The DPI window is drawn for: its monitor's where the system knows each monitor's.
int OfWindow(HWND window);

// The window's outer rectangle for the client rectangle given, at dpi.
RECT FrameFor(RECT client, DWORD style, DWORD exStyle, int dpi);

// The frame a WM_DPICHANGED asks of window, now at dpi: the rectangle it suggests only if
// the message is like the system's own, else frame's size around the window's centre.
RECT FrameForNewDpi(HWND window, WPARAM wParam, LPARAM lParam, int dpi, SIZE frame);

// A GetSystemMetrics value at dpi.
int Metric(int index, int dpi);

// The system's message font at dpi; nothing if the system doesn't say.
std::optional<LOGFONTW> MessageFont(int dpi);

// SystemParametersInfoW, or a stand-in for it.
using SystemParameters = BOOL(WINAPI*)(UINT action, UINT size, void* value, UINT winIni);

// The message font at the system's DPI as the classic call gives it: NONCLIENTMETRICS
// asked with Vista's size first, then with XP's, the only one XP takes.
std::optional<LOGFONTW> ClassicMessageFont(SystemParameters ask);

}  // namespace quendral::dpi
