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

// A text the system hands over in two calls: its length, then copy(room, size), which
// copies it into room for it and a terminator and says how many units it copied.
template <class Copy>
std::u16string CopiedText(LRESULT length, Copy&& copy) {
    if (length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const LRESULT copied = copy(text.data(), text.size());
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

// The whole text of a window, another process's included: a control's text or a caption.
std::u16string WindowText(HWND window);

// Sets a window's text; the text may be of any length.
void SetWindowText16(HWND window, std::u16string_view text);

// text as UTF-8, for a console or a file.
std::string Utf8(std::u16string_view text);

}  // namespace quendral
