// Texts between the program and its windows. wchar_t is UTF-16 on Windows, so a
// std::u16string crosses to the wide API as it is.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quendral {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

// text, terminated, as the wide API takes it.
inline const wchar_t* WideCString(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The whole text of a window: a control's text or a window's caption.
std::u16string WindowText(HWND window);

// Sets a window's text; the text may be of any length.
void SetWindowText16(HWND window, std::u16string_view text);

// text as UTF-8, for a console or a file.
std::string Utf8(std::u16string_view text);

}  // namespace quendral
