#include "ui/dpi.h"

#include <cstdint>

#include "support/system_library.h"

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

struct Lookups {
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    UINT(WINAPI* dpiForSystem)() = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    int(WINAPI* systemMetricsForDpi)(int, UINT) = nullptr;
    BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
    HRESULT(WINAPI* dpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;  // shcore, 8.1 on
    int systemDpi = kDefault;
};

// A function of module by name, null where the module or the function is missing.
template <class Function>
void Find(Function& function, HMODULE module, const char* name) {
    // Through void (*)(): a function pointer cast the compiler takes as deliberate.
    function = module == nullptr ? nullptr
                                 : reinterpret_cast<Function>(
                                       reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

Lookups Resolve() {
    Lookups lookups;
#ifndef QUENDRAL_CLASSIC_DPI
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    Find(lookups.dpiForWindow, user32, "GetDpiForWindow");
    Find(lookups.dpiForSystem, user32, "GetDpiForSystem");
    Find(lookups.adjustWindowRectExForDpi, user32, "AdjustWindowRectExForDpi");
    Find(lookups.systemMetricsForDpi, user32, "GetSystemMetricsForDpi");
    Find(lookups.systemParametersInfoForDpi, user32, "SystemParametersInfoForDpi");
    if (lookups.dpiForWindow == nullptr) {
        // Windows 8.1 to 10 version 1511 know each monitor's DPI through shcore (older
        // systems have none), which stays loaded for the program's life.
        Find(lookups.dpiForMonitor, LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
    }
#endif
    if (lookups.dpiForSystem != nullptr) {
        lookups.systemDpi = static_cast<int>(lookups.dpiForSystem());
    } else if (HDC screen = GetDC(nullptr)) {
        lookups.systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    if (lookups.systemDpi <= 0) lookups.systemDpi = kDefault;
    return lookups;
}

const Lookups& Resolved() {
    static const Lookups lookups = Resolve();
    return lookups;
}

// A length the classic calls give at the system's DPI, at dpi instead.
int FromSystem(int length, int dpi) {
    const int system = Resolved().systemDpi;
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
    return Resolved().systemDpi;
}

int OfWindow(HWND window) {
    const Lookups& lookups = Resolved();
    if (lookups.dpiForWindow != nullptr) {
        const UINT dpi = lookups.dpiForWindow(window);
        if (dpi != 0) return static_cast<int>(dpi);
    } else if (lookups.dpiForMonitor != nullptr) {
        UINT x = 0, y = 0;
        HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (SUCCEEDED(lookups.dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y != 0) {
            return static_cast<int>(y);
        }
    }
    return lookups.systemDpi;
}

RECT FrameFor(RECT client, DWORD style, DWORD exStyle, int dpi) {
    const Lookups& lookups = Resolved();
    RECT frame = client;
    if (lookups.adjustWindowRectExForDpi != nullptr &&
        lookups.adjustWindowRectExForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
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
    const Lookups& lookups = Resolved();
    if (lookups.systemMetricsForDpi != nullptr) {
        return lookups.systemMetricsForDpi(index, static_cast<UINT>(dpi));
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
    const Lookups& lookups = Resolved();
    if (lookups.systemParametersInfoForDpi != nullptr) {
        NonClientMetrics metrics{};
        metrics.xp.cbSize = sizeof(metrics);
        if (!lookups.systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics,
                                                0, static_cast<UINT>(dpi))) {
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
