// The windows of the two baseline programs, by which the benchmark finds them.
#pragma once

namespace quendral::bench {

inline constexpr wchar_t kBaselineWindowClass[] = L"QuendralBaselineWindow";
inline constexpr wchar_t kBaselineWindowCaption[] = L"Baseline window";
inline constexpr wchar_t kBaselineButtonClass[] = L"QuendralBaselineButton";
inline constexpr wchar_t kBaselineButtonCaption[] = L"Baseline button";

}  // namespace quendral::bench
