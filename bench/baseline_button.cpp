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

// "Ok" at 96 DPI.
constexpr int kButtonWidth = 73;
constexpr int kButtonHeight = 169;

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
            INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
            InitCommonControlsEx(&controls);
            const UINT dpi = GetDpiForWindow(window);
            const HWND button = CreateWindowExW(
                0, WC_BUTTONW, L"Ok", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                Scaled(16, dpi), Scaled(16, dpi), Scaled(kButtonWidth, dpi),
                Scaled(kButtonHeight, dpi), window,
                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kBaselineButtonId)),
                reinterpret_cast<LPCREATESTRUCTW>(lParam)->hInstance, nullptr);
            return button != nullptr ? 0 : -1;
        }
        case WM_DRAWITEM:
            PaintButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            return 0;  // a click does nothing
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

const WindowProgram quendral::bench::kProgram{kBaselineButtonClass, kBaselineButtonCaption,
                                              &Procedure};
