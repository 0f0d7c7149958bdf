// The now-playing message a messenger window accepts through WM_COPYDATA. Plain C++:
// no Windows headers here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "announce/delivery.h"

namespace quendral {

// COPYDATASTRUCT::dwData of a now-playing record.
inline constexpr std::uint32_t kNowPlayingRecordId = 0x547;
// How a now-playing text opens, and what closes each of its fields: the two characters
// backslash and zero, never a NUL.
inline constexpr std::u16string_view kNowPlayingTag = u"\\0Music\\0";
inline constexpr std::u16string_view kFieldSeparator = u"\\0";

inline constexpr std::u16string_view kDefaultFormat = u"{0} - {1}";
// Flags travel as signed 16-bit numbers: true is -1.
inline constexpr std::int16_t kTrue = -1;

// "\0Music\0" followed by the show digit and the fields, each closed by the two
// characters backslash and zero, then one U+0000. Inputs are copied as they are.
std::u16string BuildNowPlayingText(std::u16string_view r_sArtist, std::u16string_view r_sAlbum,
                                   std::u16string_view r_sTitle, std::u16string_view r_sWMContentID,
                                   std::u16string_view r_sFormat, std::int16_t r_bShow);

// Publishes one entry as the now-playing line and says how its delivery went.
class Announcer {
public:
    virtual DeliveryReport Announce(std::u16string_view entry) = 0;

protected:
    ~Announcer() = default;
};

// Bytes the record carries for a text: every code unit, the terminator included.
std::uint32_t ByteLength(std::u16string_view text);

}  // namespace quendral
