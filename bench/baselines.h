// The benchmark's small window programs: the baselines Quendral is set against and the
// quiet receiver. Each brings its window's class, caption and procedure as kProgram;
// baseline_main.cpp opens that window, of Quendral's client size, and runs its messages.
#pragma once

#include <windows.h>

namespace quendral::bench {

inline constexpr wchar_t kBaselineWindowClass[] = L"QuendralBaselineWindow";
inline constexpr wchar_t kBaselineWindowCaption[] = L"Baseline window";
inline constexpr wchar_t kBaselineButtonClass[] = L"QuendralBaselineButton";
inline constexpr wchar_t kBaselineButtonCaption[] = L"Baseline button";
inline constexpr int kBaselineButtonId = 100;
inline constexpr wchar_t kQuietReceiverCaption[] = L"Quiet receiver";  // of the messenger's class
// Sent to the quiet receiver, answers the number of now-playing records it has taken.
inline constexpr UINT kRecordsTaken = WM_APP;
// bare_window.c, plain C, spells these out itself.
inline constexpr wchar_t kBareWindowClass[] = L"QuendralBareWindow";
inline constexpr wchar_t kBareWindowCaption[] = L"Bare window";

struct WindowProgram {
    const wchar_t* className;
    const wchar_t* caption;
    WNDPROC procedure;  // DefWindowProcW for what it leaves alone
};
extern const WindowProgram kProgram;

}  // namespace quendral::bench
