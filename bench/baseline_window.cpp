// The platform's own cost of a window: a program that only opens one plain window, of
// the same client size as Quendral's, and runs its messages until it is closed. The
// benchmark sets Quendral's start-up time and memory against this program's.
#include <windows.h>

#include "bench/baselines.h"

namespace {

using namespace quendral::bench;

// Quendral's client area at 96 DPI.
constexpr int kClientWidth = 442;
constexpr int kClientHeight = 419;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kBaselineWindowClass;
    if (!RegisterClassExW(&windowClass)) return 1;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    const UINT dpi = GetDpiForSystem();
    RECT frame{0, 0, MulDiv(kClientWidth, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI),
               MulDiv(kClientHeight, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI)};
    AdjustWindowRectExForDpi(&frame, style, FALSE, 0, dpi);
    HWND window = CreateWindowExW(0, kBaselineWindowClass, kBaselineWindowCaption, style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
