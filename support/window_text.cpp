#include "support/window_text.h"

namespace quendral {

std::u16string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void SetWindowText16(HWND window, std::u16string_view text) {
    const std::u16string terminated(text);  // the system wants a terminated string
    SetWindowTextW(window, reinterpret_cast<const wchar_t*>(terminated.c_str()));
}

}  // namespace quendral
