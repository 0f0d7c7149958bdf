// Quendral.exe started and driven from outside, as a user would drive it: the window
// is found by its caption, the controls by class and caption, and everything goes
// through window messages.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "harness/harness.h"
#include "support/window_text.h"

namespace quendral::testing {

using quendral::WindowText;

// The Quendral the tests drive: Quendral.exe beside this program, or the program the
// environment variable QUENDRAL_PROGRAM names (a file beside this program, or a full
// path), so that the same tests can drive another build of it.
std::wstring QuendralProgram();

class QuendralApp {
public:
    // Starts Quendral (QuendralProgram() unless a path is given) and waits for its window.
    explicit QuendralApp(const std::wstring& program = QuendralProgram());
    // The Quendral of a window shown already, that someone else started: no Process(), Close().
    explicit QuendralApp(HWND form) : form_(form) { FindControls(); }

    HWND Form() const { return form_; }
    HWND List() const { return list_; }
    HWND Input() const { return input_; }
    HWND Pace() const { return pace_; }
    HWND SecondLabel() const { return secondLabel_; }
    HWND Shorter() const { return shorter_; }
    HWND Longer() const { return longer_; }
    HWND Ok() const { return ok_; }
    HWND Add() const { return add_; }
    HWND Clear() const { return clear_; }
    HWND Status() const { return status_; }
    ChildProcess& Process() { return *process_; }

    // Types text into the input box (WM_SETTEXT) and presses "Add".
    void AddEntry(std::u16string_view text);
    // Presses a button and returns when its click has been handled. A click's
    // announcement is logged by the messenger before the press returns.
    void Press(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
    // Presses "<" or ">" until the pace reads seconds. Pace 0 keeps the timer from
    // ticking, so that only "Ok" steps the rotation.
    void SetPace(int seconds);
    std::u16string InputText() const { return WindowText(input_); }
    std::u16string PaceText() const { return WindowText(pace_); }
    int EntryCount() const { return static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0)); }
    // Asks the window to close and waits (bounded) for the process to end.
    bool Close(DWORD timeoutMs = 10000);

private:
    void FindControls();

    std::optional<ChildProcess> process_;
    HWND form_ = nullptr;
    HWND list_ = nullptr;
    HWND input_ = nullptr;
    HWND pace_ = nullptr;
    HWND secondLabel_ = nullptr;
    HWND shorter_ = nullptr;
    HWND longer_ = nullptr;
    HWND ok_ = nullptr;
    HWND add_ = nullptr;
    HWND clear_ = nullptr;
    HWND status_ = nullptr;
};

}  // namespace quendral::testing
