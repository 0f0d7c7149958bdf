#include "support/window_text.h"

namespace quendral {

// By the messages: for another process's window GetWindowTextW doesn't ask it, and gives
// what the system holds, never an edit control's text.
std::u16string WindowText(HWND window) {
    return CopiedText(
        SendMessageW(window, WM_GETTEXTLENGTH, 0, 0), [&](char16_t* room, std::size_t size) {
            return SendMessageW(window, WM_GETTEXT, size, reinterpret_cast<LPARAM>(room));
        });
}

std::string Utf8(std::u16string_view text) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

void SetWindowText16(HWND window, std::u16string_view text) {
    const std::u16string terminated(text);  // the system wants a terminated string
    SetWindowTextW(window, WideCString(terminated));
}

}  // namespace quendral
