#include "ui/dpi.h"

#include <cstdint>

#include "ui/newer_windows.h"

namespace quendral::dpi {

namespace {

// NONCLIENTMETRICSW as Vista and later know it. XP's ends before iPaddedBorderWidth,
// and XP refuses a cbSize that counts it.
struct NonClientMetrics {
    NONCLIENTMETRICSW xp;
    int paddedBorderWidth;
};
static_assert(sizeof(NONCLIENTMETRICSW) == 500 && sizeof(NonClientMetrics) == 504);

constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

int AskSystemDpi() {
    const newer_windows::Calls& newer = newer_windows::Available();
    int dpi = 0;
    if (newer.dpiForSystem != nullptr) {
        dpi = static_cast<int>(newer.dpiForSystem());
    } else if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : kDefault;
}

// A length the classic calls give at the system's DPI, at dpi instead.
int FromSystem(int length, int dpi) {
    const int system = System();
    return dpi == system ? length : MulDiv(length, dpi, system);
}

// The DPIs Windows gives a window, from 50 % to 1000 %.
constexpr int kLowestDpi = 48;
constexpr int kHighestDpi = 960;

// Whether the RECT at address can be read in this process without a fault.
bool Readable(LPARAM address) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof(region)) == 0) {
        return false;
    }
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const auto end = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
    return region.State == MEM_COMMIT && (region.Protect & kReadable) != 0 &&
           (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0 &&
           static_cast<std::uintptr_t>(address) + sizeof(RECT) <= end;
}

}  // namespace

int System() {
    static const int dpi = AskSystemDpi();
    return dpi;
}

int OfWindow(HWND window) {
    const newer_windows::Calls& newer = newer_windows::Available();
    if (newer.dpiForWindow != nullptr) {
        const UINT dpi = newer.dpiForWindow(window);
        if (dpi != 0) return static_cast<int>(dpi);
    } else if (newer.dpiForMonitor != nullptr) {
        UINT x = 0, y = 0;
        HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (SUCCEEDED(newer.dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y != 0) {
            return static_cast<int>(y);
        }
    }
    return System();
}

RECT FrameFor(RECT client, DWORD style, DWORD exStyle, int dpi) {
    const newer_windows::Calls& newer = newer_windows::Available();
    RECT frame = client;
    if (newer.adjustWindowRectExForDpi != nullptr &&
        newer.adjustWindowRectExForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        return frame;
    }
    frame = client;
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    // The frame's borders and caption as the system draws them at dpi.
    return {client.left - FromSystem(client.left - frame.left, dpi),
            client.top - FromSystem(client.top - frame.top, dpi),
            client.right + FromSystem(frame.right - client.right, dpi),
            client.bottom + FromSystem(frame.bottom - client.bottom, dpi)};
}

int Metric(int index, int dpi) {
    const newer_windows::Calls& newer = newer_windows::Available();
    if (newer.systemMetricsForDpi != nullptr) {
        return newer.systemMetricsForDpi(index, static_cast<UINT>(dpi));
    }
    return FromSystem(GetSystemMetrics(index), dpi);
}

std::optional<LOGFONTW> ClassicMessageFont(SystemParameters ask) {
    NonClientMetrics metrics{};
    metrics.xp.cbSize = sizeof(metrics);
    if (ask(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return metrics.xp.lfMessageFont;
    }
    metrics.xp.cbSize = sizeof(metrics.xp);
    if (ask(SPI_GETNONCLIENTMETRICS, sizeof(metrics.xp), &metrics.xp, 0)) {
        return metrics.xp.lfMessageFont;
    }
    return std::nullopt;
}

std::optional<LOGFONTW> MessageFont(int dpi) {
    const newer_windows::Calls& newer = newer_windows::Available();
    if (newer.systemParametersInfoForDpi != nullptr) {
        NonClientMetrics metrics{};
        metrics.xp.cbSize = sizeof(metrics);
        if (!newer.systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                              static_cast<UINT>(dpi))) {
            return std::nullopt;
        }
        return metrics.xp.lfMessageFont;
    }
    const std::optional<LOGFONTW> classic = ClassicMessageFont(&SystemParametersInfoW);
    if (!classic) return std::nullopt;
    LOGFONTW font = *classic;
    font.lfHeight = FromSystem(font.lfHeight, dpi);
    font.lfWidth = FromSystem(font.lfWidth, dpi);
    return font;
}

// A system's message sent while the window handles another thread's one is taken for
// another program's: that only costs the window its place.
RECT FrameForNewDpi(HWND window, WPARAM wParam, LPARAM lParam, int dpi, SIZE frame) {
    const bool likeTheSystems = dpi >= kLowestDpi && dpi <= kHighestDpi && LOWORD(wParam) == dpi &&
                                HIWORD(wParam) == dpi && lParam != 0 &&
                                InSendMessageEx(nullptr) == ISMEX_NOSEND && Readable(lParam);
    if (likeTheSystems) {
        const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
        if (suggested.right > suggested.left && suggested.bottom > suggested.top &&
            MonitorFromRect(&suggested, MONITOR_DEFAULTTONULL) != nullptr) {
            return suggested;
        }
    }
    RECT now{};
    GetWindowRect(window, &now);
    const LONG left = now.left + (now.right - now.left - frame.cx) / 2;
    const LONG top = now.top + (now.bottom - now.top - frame.cy) / 2;
    return {left, top, left + frame.cx, top + frame.cy};
}

}  // namespace quendral::dpi
