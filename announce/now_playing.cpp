#include "announce/now_playing.h"

#include <limits>

namespace quendral {

std::u16string BuildNowPlayingText(std::u16string_view r_sArtist, std::u16string_view r_sAlbum,
                                   std::u16string_view r_sTitle, std::u16string_view r_sWMContentID,
                                   std::u16string_view r_sFormat, std::int16_t r_bShow) {
    const std::u16string_view showDigit = r_bShow != 0 ? u"1" : u"0";
    const std::u16string_view fields[] = {showDigit, r_sFormat, r_sArtist,
                                          r_sTitle,  r_sAlbum,  r_sWMContentID};
    std::size_t size = kNowPlayingTag.size() + 1;
    for (auto field : fields) size += field.size() + kFieldSeparator.size();

    std::u16string text;
    text.reserve(size);
    text += kNowPlayingTag;
    for (auto field : fields) {
        text += field;
        text += kFieldSeparator;
    }
    text += u'\0';
    return text;
}

std::uint32_t ByteLength(std::u16string_view text) {
    constexpr std::size_t kMaxUnits = std::numeric_limits<std::uint32_t>::max() / sizeof(char16_t);
    // A record cannot describe more than 4 GiB; such a text is cut, never wrapped round.
    return static_cast<std::uint32_t>((text.size() < kMaxUnits ? text.size() : kMaxUnits) *
                                      sizeof(char16_t));
}

}  // namespace quendral
