// The Windows side of the rotation's seams: the list box, the text controls, the
// window timer and the messenger announcement.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "announce/delivery.h"
#include "rotation/pace.h"
#include "rotation/rotation.h"

namespace quendral {

// wchar_t is UTF-16 on Windows, so texts cross to the wide API without conversion.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline const wchar_t* AsWide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

// The whole text of a window: a control's text or a window's caption.
std::u16string WindowText(HWND window);

class ListBoxEntries final : public EntryList {
public:
    explicit ListBoxEntries(HWND listBox) : listBox_(listBox) {}
    std::int16_t Count() const override;
    std::u16string At(std::int16_t index) const override;
    bool Append(std::u16string_view text) override;
    void Clear() override;

private:
    HWND listBox_;
};

class WindowTextControl : public TextControl {
public:
    explicit WindowTextControl(HWND control) : control_(control) {}
    std::u16string Text() const override { return WindowText(control_); }
    void SetText(std::u16string_view text) override;

protected:
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
    HWND Window() const { return tip_; }

private:
    HWND tip_ = nullptr;
};

// The input box warns with a beep and a balloon under the box when a line was not added.
class EditInputBox final : public InputBox {
public:
    EditInputBox(HWND edit, BalloonNotice& notice) : text_(edit), edit_(edit), notice_(notice) {}
    std::u16string Text() const override { return text_.Text(); }
    void SetText(std::u16string_view text) override { text_.SetText(text); }
    void NotifyNotAdded(NotAdded why) override;

private:
    WindowTextControl text_;
    HWND edit_;
    BalloonNotice& notice_;
};

// A window timer whose period and switch are independent: it ticks (WM_TIMER with
// id) only while it is switched on and its period is above 0.
class WindowTimer final : public RotationTimer {
public:
    WindowTimer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;
    ~WindowTimer();

    void SetPeriod(std::int32_t milliseconds) override;
    void SwitchOn() override;
    std::int32_t Period() const { return period_; }
    bool IsOn() const { return on_; }

private:
    void Apply();

    HWND window_;
    UINT_PTR id_;
    std::int32_t period_ = 0;
    bool on_ = false;
};

// Sends each entry to the messenger with the now-playing defaults, remembering from step
// to step which windows made a step wait.
class MessengerAnnouncer final : public Announcer {
public:
    void Announce(std::u16string_view entry) override;

private:
    DeliveryPacer pacer_;
};

}  // namespace quendral
