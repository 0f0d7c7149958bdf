// The one entry of the benchmark's small window programs (baselines.h): a window of
// Quendral's client size at the system's DPI, shown, running its messages until it is
// closed.
#include "bench/baselines.h"

namespace {

using namespace quendral::bench;

// Quendral's client area at 96 DPI.
constexpr int kClientWidth = 442;
constexpr int kClientHeight = 419;

// The program's own procedure, and the end of the messages with the window.
LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return kProgram.procedure(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kProgram.className;
    if (!RegisterClassExW(&windowClass)) return 1;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    const UINT dpi = GetDpiForSystem();
    RECT frame{0, 0, MulDiv(kClientWidth, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI),
               MulDiv(kClientHeight, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI)};
    AdjustWindowRectExForDpi(&frame, style, FALSE, 0, dpi);
    HWND window = CreateWindowExW(0, kProgram.className, kProgram.caption, style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
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
