// The platform's own cost of a press: one window with one plain owner-drawn button, of
// the size of Quendral's "Ok", that does nothing when clicked. The benchmark clicks it
// (BM_CLICK) to learn what a press costs before a program does anything with it. Like
// Quendral it uses the common controls 6 button, so both presses run the same code.
#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "bench/baselines.h"

namespace {

using namespace quendral::bench;

// The benchmark looks for the button by its caption.
constexpr wchar_t kButtonCaption[] = L"Ok";
// "Ok" at 96 DPI, and the window's client area around it.
constexpr int kButtonWidth = 73;
constexpr int kButtonHeight = 169;
constexpr int kClientWidth = 442;
constexpr int kClientHeight = 419;
constexpr int kButtonId = 100;

int Scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// A push button's face as the system draws one, and its caption.
void PaintButton(const DRAWITEMSTRUCT& item) {
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    wchar_t caption[16]{};
    GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));
    SetBkMode(item.hDC, TRANSPARENT);
    DrawTextW(item.hDC, caption, -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_CREATE: {
            const UINT dpi = GetDpiForWindow(window);
            const HWND button = CreateWindowExW(
                0, WC_BUTTONW, kButtonCaption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                Scaled(16, dpi), Scaled(16, dpi), Scaled(kButtonWidth, dpi),
                Scaled(kButtonHeight, dpi), window,
                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kButtonId)),
                reinterpret_cast<LPCREATESTRUCTW>(lParam)->hInstance, nullptr);
            return button != nullptr ? 0 : -1;
        }
        case WM_DRAWITEM:
            PaintButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            return 0;  // a click does nothing
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kBaselineButtonClass;
    if (!RegisterClassExW(&windowClass)) return 1;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    const UINT dpi = GetDpiForSystem();
    RECT frame{0, 0, Scaled(kClientWidth, dpi), Scaled(kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&frame, style, FALSE, 0, dpi);
    HWND window = CreateWindowExW(0, kBaselineButtonClass, kBaselineButtonCaption, style,
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
