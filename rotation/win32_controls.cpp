#include "rotation/win32_controls.h"

#include <commctrl.h>

#include "announce/set_music_info.h"

namespace quendral {

std::u16string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

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

void ListBoxEntries::Append(std::u16string_view text) {
    const std::u16string item(text);  // the list box wants a terminated string
    SendMessageW(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void ListBoxEntries::Clear() {
    SendMessageW(listBox_, LB_RESETCONTENT, 0, 0);
}

void WindowTextControl::SetText(std::u16string_view text) {
    const std::u16string terminated(text);
    SetWindowTextW(control_, AsWide(terminated.c_str()));
}

void EditInputBox::NotifyListFull() {
    MessageBeep(MB_ICONWARNING);
    EDITBALLOONTIP tip{};
    tip.cbStruct = sizeof(tip);
    tip.pszTitle = L"The list is full";
    tip.pszText = L"It holds 32,767 entries. Clear it to add more; your text is kept.";
    tip.ttiIcon = TTI_WARNING;
    SendMessageW(edit_, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
}

WindowTimer::~WindowTimer() {
    KillTimer(window_, id_);
}

void WindowTimer::SetPeriod(std::int32_t milliseconds) {
    period_ = milliseconds;
    Apply();
}

void WindowTimer::SwitchOn() {
    on_ = true;
    Apply();
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

void MessengerAnnouncer::Announce(std::u16string_view entry) {
    SetMusicInfo(entry);
}

}  // namespace quendral
