#include "rotation/win32_seams.h"

#include <new>

namespace quendral {

std::int16_t ListBoxEntries::Count() const {
    const LRESULT count = SendMessageW(listBox_, LB_GETCOUNT, 0, 0);
    if (count <= 0) return 0;
    return static_cast<std::int16_t>(count < kMaxEntries ? count : kMaxEntries);
}

std::u16string ListBoxEntries::At(std::int16_t index) const {
    const auto item = static_cast<WPARAM>(index);
    const LRESULT length = SendMessageW(listBox_, LB_GETTEXTLEN, item, 0);
    if (length == LB_ERR || length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const LRESULT copied =
        SendMessageW(listBox_, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

bool ListBoxEntries::Append(std::u16string_view text) {
    try {
        const std::u16string item(text);  // the list box wants a terminated string
        // LB_ERR or LB_ERRSPACE when the list box cannot take it.
        return SendMessageW(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())) >= 0;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void WindowTimer::Apply() {
    // SetTimer treats 0 as about 10 ms, so a zero period kills the timer instead;
    // setting it again with the same id restarts the countdown.
    if (on_ && period_ > 0) {
        SetTimer(window_, id_, static_cast<UINT>(period_), nullptr);
    } else {
        KillTimer(window_, id_);
    }
}

}  // namespace quendral
