// The DPI Quendral's window is drawn for, and the system's sizes and fonts at that DPI.
// Windows 10 (version 1607) has a call for each at any DPI, Windows 8.1 gives each
// monitor's DPI; older systems have one DPI for the whole screen. The newer calls are
// looked up once, the first time any of these is asked; where one is missing, the
// classic call stands in at the system's DPI, scaled to the DPI asked for.
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
