// The now-playing message a messenger window accepts through WM_COPYDATA, and the
// loop that hands it to every messenger window. Plain C++: no Windows headers here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quendral {

// COPYDATASTRUCT::dwData of a now-playing record.
inline constexpr std::uint32_t kNowPlayingTag = 0x547;
// Window class of the messenger's top-level windows.
inline constexpr char kMessengerClass[] = "MsnMsgrUIManager";
inline constexpr std::u16string_view kDefaultFormat = u"{0} - {1}";
// Flags travel as signed 16-bit numbers: true is -1, false is 0.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

// "\0Music\0" followed by the show digit and the fields, each closed by the two
// characters backslash and zero, then one U+0000. Inputs are copied as they are.
std::u16string BuildNowPlayingText(std::u16string_view r_sArtist, std::u16string_view r_sAlbum,
                                   std::u16string_view r_sTitle, std::u16string_view r_sWMContentID,
                                   std::u16string_view r_sFormat, std::int16_t r_bShow);

// Bytes the record carries for a text: every code unit, the terminator included.
std::uint32_t ByteLength(std::u16string_view text);

// A top-level window handle as a number; 0 is "none".
using WindowHandle = std::uintptr_t;

// Handles the system gives out fit in 32 bits; one that reads as 0 or negative
// there is not a window to send to.
constexpr bool IsSendableHandle(WindowHandle handle) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(handle)) > 0;
}

// Walks the windows findNext(after) yields, starting after none, and calls send(h)
// for each sendable one, until findNext says there are no more.
template <class FindNext, class Send>
void DeliverToEveryWindow(FindNext&& findNext, Send&& send) {
    WindowHandle last = 0;
    do {
        last = findNext(last);
        if (IsSendableHandle(last)) send(last);
    } while (last != 0);
}

}  // namespace quendral
