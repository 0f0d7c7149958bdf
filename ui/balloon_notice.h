// Notices at the input box: a warning balloon that goes by itself, and the input box
// that shows one when what was typed could not be added.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "rotation/win32_seams.h"

namespace quendral {

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

}  // namespace quendral
