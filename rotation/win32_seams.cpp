#include "rotation/win32_seams.h"

#include <commctrl.h>

#include <new>
#include <string>

#include "support/text.h"

namespace quendral {

namespace {

// The tooltip control runs timers of its own on its window with small ids (1 to 4 in
// comctl32 and in Wine); a SetTimer with one of those would replace or lose to its own.
constexpr UINT_PTR kHideTimerId = 0x4E07;

// The notice's one tool: tracked at a position the notice chooses.
TTTOOLINFOW NoticeTool(HWND tip) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = GetWindow(tip, GW_OWNER);
    return tool;
}

void CALLBACK HideNotice(HWND tip, UINT, UINT_PTR id, DWORD) {
    KillTimer(tip, id);
    TTTOOLINFOW tool = NoticeTool(tip);
    SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

void BalloonNotice::Show(HWND control, const wchar_t* title, const wchar_t* text) {
    if (tip_ != nullptr && !IsWindow(tip_)) tip_ = nullptr;
    if (tip_ == nullptr) {
        tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               GetAncestor(control, GA_ROOT), nullptr, nullptr, nullptr);
        if (tip_ == nullptr) return;
        TTTOOLINFOW tool = NoticeTool(tip_);
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 300);
    }
    TTTOOLINFOW tool = NoticeTool(tip_);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_SETTITLEW, TTI_WARNING, reinterpret_cast<LPARAM>(title));

    RECT box{};
    GetWindowRect(control, &box);
    SendMessageW(tip_, TTM_TRACKPOSITION, 0,
                 MAKELPARAM(box.left + (box.right - box.left) / 4, box.bottom - 2));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(tip_, kHideTimerId, kShowMs, &HideNotice);
}

void EditInputBox::NotifyNotAdded(NotAdded why) {
    MessageBeep(MB_ICONWARNING);
    const bool full = why == NotAdded::kListFull;
    const std::string digits = Grouped(static_cast<std::uint64_t>(kMaxEntries));
    const std::wstring most(digits.begin(), digits.end());
    const std::wstring text =
        full ? L"It holds " + most +
                   L" entries, its most, so this line was not added. "
                   L"What you typed stays in the box."
             : L"The list could not take it; the system may be short of memory. "
               L"What you typed stays in the box.";
    notice_.Show(edit_, full ? L"The list is full" : L"The line was not added", text.c_str());
}

std::int16_t ListBoxEntries::Count() const {
    const LRESULT count = SendMessageW(listBox_, LB_GETCOUNT, 0, 0);
    if (count <= 0) return 0;
    return static_cast<std::int16_t>(count < kMaxEntries ? count : kMaxEntries);
}

std::u16string ListBoxEntries::At(std::int16_t index) const {
    const auto item = static_cast<WPARAM>(index);
    // An index past the end has the length LB_ERR (-1): no text.
    return CopiedText(SendMessageW(listBox_, LB_GETTEXTLEN, item, 0), [&](char16_t* room, auto) {
        return SendMessageW(listBox_, LB_GETTEXT, item, reinterpret_cast<LPARAM>(room));
    });
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
