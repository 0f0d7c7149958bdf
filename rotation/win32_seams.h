// The Windows side of the rotation's seams: the list box, the text controls and the
// window timer.
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

class WindowTextControl : public TextControl {
public:
    explicit WindowTextControl(HWND control) : control_(control) {}
    std::u16string Text() const override { return WindowText(control_); }
    void SetText(std::u16string_view text) override { SetWindowText16(control_, text); }

protected:
    HWND control_;
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
    std::int32_t Period() const { return period_; }
    bool IsOn() const { return on_; }

private:
    void Apply();

    HWND window_;
    UINT_PTR id_;
    std::int32_t period_ = 0;
    bool on_ = false;
};

}  // namespace quendral
