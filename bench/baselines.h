// The windows of the baseline programs, by which the benchmark finds them.
#pragma once

namespace quendral::bench {

inline constexpr wchar_t kBaselineWindowClass[] = L"QuendralBaselineWindow";
inline constexpr wchar_t kBaselineWindowCaption[] = L"Baseline window";
inline constexpr wchar_t kBaselineButtonClass[] = L"QuendralBaselineButton";
inline constexpr wchar_t kBaselineButtonCaption[] = L"Baseline button";
// bare_window.c, plain C, spells these out itself.
inline constexpr wchar_t kBareWindowClass[] = L"QuendralBareWindow";
inline constexpr wchar_t kBareWindowCaption[] = L"Bare window";

}  // namespace quendral::bench
