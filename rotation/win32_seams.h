// The Windows side of the rotation's seams: the list box, the text controls, the input
// box with its notice, and the window timer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "support/window_text.h"
#include "rotation/pace.h"
#include "rotation/rotation.h"

namespace quendral {

class ListBoxEntries final : public EntryList {
public:
    explicit ListBoxEntries(HWND listBox) : listBox_(listBox) {}
    std::int16_t Count() const override;
    std::u16string At(std::int16_t index) const override;
    bool Append(std::u16string_view text) override;
    void Clear() override { SendMessageW(listBox_, LB_RESETCONTENT, 0, 0); }

private:
    HWND listBox_;
};

class WindowTextControl final : public TextControl {
public:
    explicit WindowTextControl(HWND control) : control_(control) {}
    std::u16string Text() const override { return WindowText(control_); }
    void SetText(std::u16string_view text) override { SetWindowText16(control_, text); }

private:
    HWND control_;
};

// A warning balloon pointing at a control, gone by itself after a few seconds. The
// balloon is a tooltip window owned by the control's top-level window, which
// destroys it with itself; one notice shows one balloon at a time.
class BalloonNotice {
public:
    static constexpr UINT kShowMs = 5000;

    BalloonNotice() = default;
    BalloonNotice(const BalloonNotice&) = delete;
    BalloonNotice& operator=(const BalloonNotice&) = delete;

    void Show(HWND control, const wchar_t* title, const wchar_t* text);

private:
    HWND tip_ = nullptr;
};

// The input box warns with a beep and a balloon under the box when a line was not added.
class EditInputBox final : public InputBox {
public:
    EditInputBox(HWND edit, BalloonNotice& notice) : edit_(edit), notice_(notice) {}
    std::u16string Text() const override { return WindowText(edit_); }
    void SetText(std::u16string_view text) override { SetWindowText16(edit_, text); }
    void NotifyNotAdded(NotAdded why) override;

private:
    HWND edit_;
    BalloonNotice& notice_;
};

// A window timer whose period and switch are independent: it ticks (WM_TIMER with
// id) only while it is switched on and its period is above 0. Setting the period starts
// the countdown afresh; switching on a timer that is on changes nothing.
class WindowTimer final : public RotationTimer {
public:
    WindowTimer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;
    ~WindowTimer() { KillTimer(window_, id_); }

    void SetPeriod(std::int32_t milliseconds) override {
        period_ = milliseconds;
        Apply();
    }
    void SwitchOn() override {
        if (on_) return;
        on_ = true;
        Apply();
    }

private:
    void Apply();

    HWND window_;
    UINT_PTR id_;
    std::int32_t period_ = 0;
    bool on_ = false;
};

}  // namespace quendral
