// The names by which Quendral, the messenger and the tools find one another: window
// classes, the caption, and what marks a now-playing record. Plain C++, so the
// portable code and the host tests share them with the Windows side.
#pragma once

#include <cstdint>
#include <string_view>

namespace quendral {

// Class of the messenger's windows, top-level or message-only: narrow for the search Quendral makes
// with FindWindowExA, wide for everything else.
inline constexpr char kMessengerClass[] = "MsnMsgrUIManager";
inline constexpr wchar_t kMessengerClassW[] = L"MsnMsgrUIManager";

// Quendral's window: its class and caption.
inline constexpr wchar_t kFormClass[] = L"QuendralForm1";
inline constexpr wchar_t kFormCaption[] = L"Quendral";

// COPYDATASTRUCT::dwData of a now-playing record.
inline constexpr std::uint32_t kNowPlayingRecordId = 0x547;

// How a now-playing text opens, and what closes each of its fields: the two characters
// backslash and zero, never a NUL.
inline constexpr std::u16string_view kNowPlayingTag = u"\\0Music\\0";
inline constexpr std::u16string_view kFieldSeparator = u"\\0";

}  // namespace quendral
